// Simulated registry (keys of any depth, typed values of any size) and legacy profile sections.
#include "platform/sim/internal.h"
#include "platform/sim/world.h"

#include <cstring>

namespace {

using sim::world;

std::u16string widen(const char* s) {
    std::u16string out;
    for (; s && *s; ++s) {
        out.push_back(static_cast<unsigned char>(*s));
    }
    return out;
}

bool pathOf(os::HKEY key, std::u16string& path) {
    const std::u16string root = sim::rootPath(key);
    if (!root.empty()) {
        path = root;
        return true;
    }
    auto open = world().openKeys.find(static_cast<uintptr_t>(key));
    if (open == world().openKeys.end()) {
        return false;
    }
    path = open->second;
    return true;
}

os::HKEY handleFor(const std::u16string& path) {
    const uintptr_t handle = world().nextKey++;
    world().openKeys[handle] = path;
    return static_cast<os::HKEY>(handle);
}

os::LONG openKey(os::HKEY parent, const std::u16string& subKey, bool create, os::HKEY* result) {
    std::u16string path;
    if (!result || !pathOf(parent, path)) {
        return 6; // ERROR_INVALID_HANDLE
    }
    if (!subKey.empty()) {
        path += u"\\" + sim::lower(subKey);
    }
    if (create && world().failCreateKey) {
        return 5; // ERROR_ACCESS_DENIED
    }
    if (!world().keys.count(path)) {
        if (!create) {
            return os::ERROR_FILE_NOT_FOUND;
        }
        // Every missing key along the path is created too.
        for (size_t at = path.find(u'\\'); at != std::u16string::npos;
             at = path.find(u'\\', at + 1)) {
            world().keys[path.substr(0, at)];
        }
        world().keys[path];
    }
    *result = handleFor(path);
    return os::ERROR_SUCCESS;
}

sim::RegKey* keyOf(os::HKEY key) {
    std::u16string path;
    if (!pathOf(key, path)) {
        return nullptr;
    }
    auto found = world().keys.find(path);
    return found == world().keys.end() ? nullptr : &found->second;
}

os::LONG queryValue(os::HKEY key, const std::u16string& name, os::DWORD* type, os::BYTE* data,
                    os::DWORD* dataSize) {
    sim::RegKey* k = keyOf(key);
    if (!k) {
        return 6;
    }
    auto value = k->values.find(sim::lower(name));
    if (value == k->values.end()) {
        return os::ERROR_FILE_NOT_FOUND;
    }
    const sim::RegValue& v = value->second.second;
    if (type) {
        *type = v.type;
    }
    const auto size = static_cast<os::DWORD>(v.data.size());
    if (!data) {
        if (dataSize) {
            *dataSize = size;
        }
        return os::ERROR_SUCCESS;
    }
    if (!dataSize) {
        return 87; // ERROR_INVALID_PARAMETER
    }
    if (*dataSize < size) {
        *dataSize = size;
        return os::ERROR_MORE_DATA;
    }
    if (size) {
        std::memcpy(data, v.data.data(), size);
    }
    *dataSize = size;
    return os::ERROR_SUCCESS;
}

os::LONG setValue(os::HKEY key, const std::u16string& name, os::DWORD type, const os::BYTE* data,
                  os::DWORD size) {
    sim::RegKey* k = keyOf(key);
    if (!k) {
        return 6;
    }
    sim::RegValue v{type, std::vector<uint8_t>(data, data + (data ? size : 0))};
    k->values[sim::lower(name)] = {name, std::move(v)};
    return os::ERROR_SUCCESS;
}

} // namespace

namespace os {

LONG RegOpenKeyW(HKEY parent, const char16_t* subKey, HKEY* result) {
    return openKey(parent, subKey ? subKey : u"", false, result);
}

LONG RegCreateKeyExW(HKEY parent, const char16_t* subKey, DWORD, char16_t*, DWORD, DWORD, void*,
                     HKEY* result, DWORD* disposition) {
    if (disposition) {
        *disposition = 1;
    }
    return openKey(parent, subKey ? subKey : u"", true, result);
}

LONG RegQueryValueExW(HKEY key, const char16_t* valueName, DWORD*, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
    return queryValue(key, valueName ? valueName : u"", type, data, dataSize);
}

LONG RegSetValueExW(HKEY key, const char16_t* valueName, DWORD, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    return setValue(key, valueName ? valueName : u"", type, data, dataSize);
}

LONG RegDeleteValueW(HKEY key, const char16_t* valueName) {
    sim::RegKey* k = keyOf(key);
    if (!k) {
        return 6;
    }
    return k->values.erase(sim::lower(valueName ? valueName : u"")) ? ERROR_SUCCESS
                                                                    : ERROR_FILE_NOT_FOUND;
}

LONG RegCloseKey(HKEY key) {
    return world().openKeys.erase(static_cast<uintptr_t>(key)) ? ERROR_SUCCESS : 6;
}

LONG RegOpenKeyExA(HKEY parent, const char* subKey, DWORD, DWORD, HKEY* result) {
    return openKey(parent, widen(subKey), false, result);
}

LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD*, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
    return queryValue(key, widen(valueName), type, data, dataSize);
}

LONG RegSetValueExA(HKEY key, const char* valueName, DWORD, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    return setValue(key, widen(valueName), type, data, dataSize);
}

DWORD GetProfileStringA(const char* section, const char* key, const char* defaultValue,
                        char* buffer, DWORD bufferSize) {
    if (!buffer || bufferSize == 0) {
        return 0;
    }
    std::string value = defaultValue ? defaultValue : "";
    if (section && key) {
        if (auto stored = sim::getProfile(section, key)) {
            value = *stored;
        }
    }
    // As Windows does: the text is cut to fit and always terminated.
    const size_t n = std::min<size_t>(value.size(), bufferSize - 1);
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return static_cast<DWORD>(n);
}

BOOL WriteProfileStringA(const char* section, const char* key, const char* value) {
    if (!section || !key) {
        return FALSE;
    }
    if (!value) {
        auto s = world().profile.find(sim::lower8(section));
        if (s != world().profile.end()) {
            s->second.erase(sim::lower8(key));
        }
        return TRUE;
    }
    sim::setProfile(section, key, value);
    return TRUE;
}

} // namespace os
