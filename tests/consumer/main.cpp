// Signs in through the installed library and reads the user back: the smallest useful host.
#include <OrvaneModuleIntegration/OrvaneModuleIntegration.h>

#include <cstdio>

int main() {
    int responsecode = 0;
    if (!OrvaneModuleIntegration::Login("consumer", "tenant-nordbygg", responsecode)) return 1;
    const std::string user = OrvaneModuleIntegration::GetLoggedInUser(responsecode);
    std::printf("signed in as %s (%d)\n", user.c_str(), responsecode);
    return user == "consumer" && responsecode == 200 ? 0 : 1;
}
