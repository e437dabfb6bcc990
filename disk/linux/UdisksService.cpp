// SPDX-License-Identifier: Apache-2.0
#include "disk/linux/UdisksService.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string_view>
#include <type_traits>
#include <vector>

#include "common/AsciiText.h"

namespace tavrin {

namespace {

constexpr const char* kService = "org.freedesktop.UDisks2";
constexpr const char* kManager = "/org/freedesktop/UDisks2/Manager";
constexpr const char* kBlock = "org.freedesktop.UDisks2.Block";
constexpr const char* kDrive = "org.freedesktop.UDisks2.Drive";
// A prompt waits for the user to type a password.
constexpr uint64_t kPromptTimeoutUsec = 600ull * 1000 * 1000;

// sd-bus, loaded when the service is first needed: linked in, it and the libraries it pulls in
// took half of a short run's start-up, for a bus that only a user the system keeps out uses.
// Every function the service calls, each named once.
#define TAVRIN_SD_BUS_FUNCTIONS(X)                                                                   \
    X(open_system) X(flush_close_unref) X(call) X(call_method) X(get_property) X(get_property_string) \
    X(get_property_trivial) X(message_new_method_call) X(message_set_allow_interactive_authorization) \
    X(message_append) X(message_read) X(message_enter_container) X(message_unref) X(error_free)

struct SdBus {
#define TAVRIN_SD_BUS_MEMBER(name) decltype(&::sd_bus_##name) name = nullptr;
    TAVRIN_SD_BUS_FUNCTIONS(TAVRIN_SD_BUS_MEMBER)
#undef TAVRIN_SD_BUS_MEMBER
};

// Every function or nothing: a library that lacks one is no library.
const SdBus* LoadSdBus() {
    static const std::optional<SdBus> loaded = []() -> std::optional<SdBus> {
        void* library = ::dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) return std::nullopt;
        SdBus bus;
        bool complete = true;
        const auto take = [&](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(library, name));
            complete = complete && function != nullptr;
        };
#define TAVRIN_SD_BUS_TAKE(name) take(bus.name, "sd_bus_" #name);
        TAVRIN_SD_BUS_FUNCTIONS(TAVRIN_SD_BUS_TAKE)
#undef TAVRIN_SD_BUS_TAKE
        if (complete) return bus;
        ::dlclose(library);
        return std::nullopt;
    }();
    return loaded ? &*loaded : nullptr;
}

// Only reached once Bus() answered, so the library is there.
const SdBus& Lib() { return *LoadSdBus(); }

// sd-bus leaves names and messages null when they are not known.
std::string_view Text(const char* text) { return text != nullptr ? text : ""; }

DiskService::Result ResultOf(const sd_bus_error& error) {
    if (StartsWith(Text(error.name), "org.freedesktop.UDisks2.Error.NotAuthorized")) return DiskService::Result::Refused;
    if (StartsWith(Text(error.name), "org.freedesktop.DBus.Error.ServiceUnknown") ||
        StartsWith(Text(error.name), "org.freedesktop.DBus.Error.NameHasNoOwner") ||
        StartsWith(Text(error.name), "org.freedesktop.DBus.Error.Spawn.") ||
        StartsWith(Text(error.name), "org.freedesktop.DBus.Error.NoServer")) {
        return DiskService::Result::Missing;
    }
    if (Text(error.message).find("busy") != std::string_view::npos) return DiskService::Result::Busy;
    return DiskService::Result::Failed;
}

// Filled only by calls made after the library loaded.
struct MessageRef {
    sd_bus_message* m = nullptr;
    ~MessageRef() {
        if (m != nullptr) Lib().message_unref(m);
    }
};

struct ErrorRef {
    sd_bus_error e = SD_BUS_ERROR_NULL;
    ~ErrorRef() {
        if (LoadSdBus() != nullptr) Lib().error_free(&e);
    }
};

}  // namespace

UdisksService::~UdisksService() {
    if (bus_ != nullptr) Lib().flush_close_unref(bus_);
}

sd_bus* UdisksService::Bus() {
    if (bus_ == nullptr && !connectFailed_) connectFailed_ = LoadSdBus() == nullptr || Lib().open_system(&bus_) < 0;
    return bus_;
}

template <typename T>
bool UdisksService::Property(const std::string& object, const char* interface, const char* name, char type,
                             T& value) {
    sd_bus* bus = Bus();
    if (bus == nullptr) return false;
    ErrorRef error;
    return Lib().get_property_trivial(bus, kService, object.c_str(), interface, name, &error.e, type, &value) >= 0;
}

std::optional<std::string> UdisksService::BlockObject(dev_t number, Result& failure) {
    failure = Result::Missing;
    if (Bus() == nullptr) return std::nullopt;
    ErrorRef error;
    MessageRef reply;
    if (Lib().call_method(bus_, kService, kManager, "org.freedesktop.UDisks2.Manager", "GetBlockDevices", &error.e,
                           &reply.m, "a{sv}", 0) < 0) {
        failure = ResultOf(error.e);
        return std::nullopt;
    }
    std::vector<std::string> objects;
    if (Lib().message_enter_container(reply.m, 'a', "o") < 0) return std::nullopt;
    const char* path = nullptr;
    while (Lib().message_read(reply.m, "o", &path) > 0) objects.emplace_back(path);
    failure = Result::Failed;
    for (const auto& object : objects) {
        uint64_t value = 0;
        if (Property(object, kBlock, "DeviceNumber", 't', value) && value == number) return object;
    }
    return std::nullopt;
}

DiskService::Result UdisksService::CallOpenDevice(const std::string& object, bool writable, bool prompt, int flags,
                                                  int& fd) {
    MessageRef call;
    MessageRef reply;
    ErrorRef error;
    if (Lib().message_new_method_call(bus_, &call.m, kService, object.c_str(), kBlock, "OpenDevice") < 0 ||
        Lib().message_set_allow_interactive_authorization(call.m, prompt) < 0 ||
        Lib().message_append(call.m, "sa{sv}", writable ? "rw" : "r", 2, "flags", "i", flags,
                              "auth.no_user_interaction", "b", !prompt) < 0) {
        return Result::Failed;
    }
    if (Lib().call(bus_, call.m, prompt ? kPromptTimeoutUsec : 0, &error.e, &reply.m) < 0) return ResultOf(error.e);
    int received = -1;
    if (Lib().message_read(reply.m, "h", &received) < 0) return Result::Failed;
    fd = ::fcntl(received, F_DUPFD_CLOEXEC, 3);  // the message closes its own
    return fd >= 0 ? Result::Done : Result::Failed;
}

DiskService::Result UdisksService::OpenDisk(dev_t disk, bool writable, bool prompt, int& fd) {
    Result failure = Result::Failed;
    const auto object = BlockObject(disk, failure);
    if (!object) return failure;
    const int exclusive = writable ? O_EXCL : 0;
    Result result = CallOpenDevice(*object, writable, prompt, exclusive | O_DIRECT, fd);
    // Older services take only some flags; O_DIRECT can be set on the descriptor afterwards.
    if (result == Result::Failed) result = CallOpenDevice(*object, writable, prompt, exclusive, fd);
    return result;
}

DiskService::Result UdisksService::Unmount(dev_t device) {
    Result failure = Result::Failed;
    const auto object = BlockObject(device, failure);
    if (!object) return failure;
    MessageRef call;
    MessageRef reply;
    ErrorRef error;
    if (Lib().message_new_method_call(bus_, &call.m, kService, object->c_str(), "org.freedesktop.UDisks2.Filesystem",
                                       "Unmount") < 0 ||
        Lib().message_set_allow_interactive_authorization(call.m, 1) < 0 ||
        Lib().message_append(call.m, "a{sv}", 1, "auth.no_user_interaction", "b", 0) < 0) {
        return Result::Failed;
    }
    if (Lib().call(bus_, call.m, kPromptTimeoutUsec, &error.e, &reply.m) < 0) return ResultOf(error.e);
    return Result::Done;
}

bool UdisksService::IsRemovableMedia(dev_t disk) {
    Result failure = Result::Failed;
    const auto object = BlockObject(disk, failure);
    int system = 1;
    if (!object || !Property(*object, kBlock, "HintSystem", 'b', system) || system) return false;
    ErrorRef error;
    MessageRef reply;
    const char* drive = nullptr;
    if (Lib().get_property(bus_, kService, object->c_str(), kBlock, "Drive", &error.e, &reply.m, "o") < 0 ||
        Lib().message_read(reply.m, "o", &drive) < 0) {
        return false;
    }
    const std::string driveObject = drive;
    int removable = 0;
    int mediaRemovable = 0;
    char* media = nullptr;
    Property(driveObject, kDrive, "Removable", 'b', removable);
    Property(driveObject, kDrive, "MediaRemovable", 'b', mediaRemovable);
    ErrorRef mediaError;
    if (Lib().get_property_string(bus_, kService, driveObject.c_str(), kDrive, "Media", &mediaError.e, &media) < 0) {
        media = nullptr;
    }
    const bool sdCard = StartsWith(Text(media), "flash_sd");
    std::free(media);
    return removable || mediaRemovable || sdCard;
}

}  // namespace tavrin
