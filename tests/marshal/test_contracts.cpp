// placeholder until this area's tests land
