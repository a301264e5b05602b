// Visibility of the service library's symbols.
#pragma once

#define ORVANE_SERVICE_API __attribute__((visibility("default")))
