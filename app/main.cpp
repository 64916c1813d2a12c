#include "platform/BuildInfo.h"

#include <cstdio>

int main() {
    std::printf("%s %s\n", DewlightPlatform::BuildInfo::applicationName,
                DewlightPlatform::BuildInfo::version);
    return 0;
}
