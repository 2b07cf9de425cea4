#include "app/modules.h"

#include <dlfcn.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace skarvel::app {

namespace {

std::string_view InstalledModuleFolder() {
#ifdef SKARVEL_MODULE_DIR
    return SKARVEL_MODULE_DIR;
#else
    return {};
#endif
}

std::string_view ModuleFolderFromPrograms() {
#ifdef SKARVEL_MODULE_DIR_FROM_BIN
    return SKARVEL_MODULE_DIR_FROM_BIN;
#else
    return {};
#endif
}

} // namespace

std::vector<std::string> ModuleCandidates(std::string_view name) {
    const std::string file = std::string(name) + ".so";
    std::vector<std::string> places;
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        places.push_back((program.parent_path() / file).string());
        if (!ModuleFolderFromPrograms().empty()) {
            places.push_back((program.parent_path() / ModuleFolderFromPrograms() / file)
                                 .lexically_normal()
                                 .string());
        }
    }
    if (!InstalledModuleFolder().empty()) {
        places.push_back((fs::path(InstalledModuleFolder()) / file).string());
    }
    return places;
}

void* OpenModule(std::string_view name) {
    static std::mutex mutex;
    static std::map<std::string, void*, std::less<>> opened;
    const std::lock_guard lock(mutex);
    if (const auto it = opened.find(name); it != opened.end()) {
        return it->second;
    }
    const std::vector<std::string> places = ModuleCandidates(name);
    std::string reason = "no such file";
    for (const std::string& place : places) {
        reason += (&place == &places.front() ? " as " : " or ") + place;
    }
    for (const std::string& place : places) {
        std::error_code error;
        if (!fs::is_regular_file(place, error)) {
            continue;
        }
        if (void* handle = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            opened.emplace(std::string(name), handle);
            return handle;
        }
        reason = ::dlerror();
        break;
    }
    throw std::runtime_error("cannot load the module " + std::string(name) + ": " + reason);
}

void* ModuleSymbol(std::string_view name, const char* symbol) {
    void* handle = OpenModule(name);
    void* address = ::dlsym(handle, symbol);
    if (address == nullptr) {
        throw std::runtime_error("the module " + std::string(name) + " has no " + symbol);
    }
    return address;
}

} // namespace skarvel::app
