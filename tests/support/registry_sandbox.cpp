// Registry helpers for tests; they call Windows directly, never the seam.
#include "registry_sandbox.h"

namespace test {

void RegistrySandbox::Clear()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPolicyKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "NoLogoff");
        RegDeleteValueA(key, "NoClose");
        RegCloseKey(key);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, kPolicyKey);
    for (const char* path : {kRunKey, kRunOnceKey}) {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "Lichtaus+");
            RegCloseKey(key);
        }
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
}

bool KeyExists(HKEY root, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool ReadValue(HKEY root, const char* path, const char* name, DWORD* type, std::vector<BYTE>* data)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        data->assign(size, 0);
        result = RegQueryValueExA(key, name, nullptr, type, data->data(), &size);
        data->resize(size);
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

std::string ReadText(HKEY root, const char* path, const char* name)
{
    DWORD type;
    std::vector<BYTE> data;
    if (!ReadValue(root, path, name, &type, &data))
        return "<absent>";
    std::string text(data.begin(), data.end());
    if (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

void WriteValue(HKEY root, const char* path, const char* name, DWORD type, std::vector<BYTE> data)
{
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

void WriteText(HKEY root, const char* path, const char* name, const std::string& text)
{
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    WriteValue(root, path, name, REG_SZ, data);
}

} // namespace test
