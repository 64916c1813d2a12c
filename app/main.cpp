#include "app/SnapshotMode.h"
#include "kit/brand/KestraSnapshot.h"

#include <climits>
#include <cstdio>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {

// The live library's full path: it lies where the build says, relative to this executable's
// folder. A search path would also let a library of the current folder stand in for it.
std::string liveLibraryPath() {
    char executable[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", executable, sizeof executable - 1);
    if (length <= 0)
        return {};
    const std::string path(executable, std::size_t(length));
    return path.substr(0, path.rfind('/') + 1) + DEWLIGHT_LIVE_LIBRARY;
}

// The live application lives in a library of its own, loaded only when it runs: a snapshot
// process then maps nothing of storage, the network or cryptography.
int runLive(int argc, char* argv[]) {
    const std::string path = liveLibraryPath();
    void* library = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    using LiveMain = int (*)(int, char**);
    const auto liveMain =
        library ? reinterpret_cast<LiveMain>(dlsym(library, "dewlightLiveMain")) : nullptr;
    if (!liveMain) {
        const char* reason = path.empty() ? "the executable's own path is unknown" : dlerror();
        std::fprintf(stderr, "dewlight: the application could not be loaded: %s\n", reason);
        return 1;
    }
    // Never unloaded: objects of the library may still be torn down at exit.
    return liveMain(argc, argv);
}

} // namespace

int main(int argc, char* argv[]) {
    // Any "--snapshot-" argument: a picture with fixed data, and nothing of the live application.
    if (KestraUI::KestraSnapshot::isActive())
        return DewlightApp::snapshotMain(argc, argv);
    return runLive(argc, argv);
}
