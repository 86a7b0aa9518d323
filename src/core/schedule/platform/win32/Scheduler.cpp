// Schedules on Windows: a Task Scheduler task of the user, made and deleted
// with schtasks.exe, and the user's files.
#include "core/schedule/Schedule.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/Text.h"

#include <cstdlib>
#include <memory>

// clang-format off
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>
// clang-format on

namespace vellarion {

namespace fs = std::filesystem;

namespace {

std::wstring wide(std::string_view text) {
    const std::u16string w = utf8ToUtf16(text);
    return std::wstring(w.begin(), w.end());
}

// One argument as CommandLineToArgvW reads it back.
std::wstring quoted(const std::wstring& argument) {
    std::wstring text = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        text.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        text += c;
    }
    text.append(backslashes * 2, L'\\');
    return text + L"\"";
}

// Runs schtasks.exe with those arguments, hidden; its exit code, -1 when it
// could not be started.
int schtasks(const std::vector<std::wstring>& args) {
    std::wstring line = L"schtasks.exe";
    for (const std::wstring& a : args) {
        line += L" " + quoted(a);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &startup, &process)) {
        return -1;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::wstring userName() {
    wchar_t name[256];
    DWORD size = 256;
    return ::GetUserNameW(name, &size) ? std::wstring(name) : std::wstring();
}

bool isSid(PSID sid, WELL_KNOWN_SID_TYPE type) {
    BYTE buffer[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof buffer;
    return ::CreateWellKnownSid(type, nullptr, buffer, &size) && ::EqualSid(sid, buffer);
}

} // namespace

fs::path runningProgram() {
    std::wstring path(32768, L'\0');
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) {
        throw Error("Cannot tell where this program lies");
    }
    path.resize(length);
    return path;
}

ScheduleStore ScheduleStore::standard() {
    wchar_t appData[MAX_PATH];
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData))) {
        throw Error("The folder of the user's application data is unknown");
    }
    return ScheduleStore(fs::path(appData) / L"Vellarion" / L"schedules.json");
}

fs::path userUnitFolder() {
    return {};
}

std::string passwordFileProblem(const fs::path& file) {
    const std::string shown = pathToUtf8(file);
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        return "the password file \"" + shown + "\" is no file";
    }
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(file.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return "cannot read who may read the password file \"" + shown + "\"";
    }
    const std::unique_ptr<void, decltype(&::LocalFree)> owned(descriptor, &::LocalFree);
    HANDLE token = nullptr;
    BYTE userBuffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) ||
        !::GetTokenInformation(token, TokenUser, userBuffer, sizeof userBuffer, &size)) {
        return "cannot tell who runs the program";
    }
    ::CloseHandle(token);
    const PSID user = reinterpret_cast<TOKEN_USER*>(userBuffer)->User.Sid;
    const std::string others = "the password file \"" + shown +
                               "\" may be read by others; make it readable by its owner only";
    if (dacl == nullptr) {
        return others; // no list at all: everybody may
    }
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!::GetAce(dacl, i, reinterpret_cast<void**>(&header)) ||
            header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            continue;
        }
        const auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        const ACCESS_MASK reading = FILE_READ_DATA | GENERIC_READ | GENERIC_ALL;
        const PSID sid = const_cast<DWORD*>(&ace->SidStart);
        if ((ace->Mask & reading) != 0 && !::EqualSid(sid, user) &&
            !isSid(sid, WinLocalSystemSid) && !isSid(sid, WinBuiltinAdministratorsSid) &&
            !isSid(sid, WinCreatorOwnerSid)) {
            return others;
        }
    }
    return {};
}

SchedulerResult installSchedule(const Schedule& schedule, const fs::path& program) {
    const std::wstring run = quoted(program.wstring()) + L" schedule run " + wide(schedule.id);
    const std::wstring every = schedule.every == "hourly"   ? L"HOURLY"
                               : schedule.every == "weekly" ? L"WEEKLY"
                                                            : L"DAILY";
    std::vector<std::wstring> args{
        L"/Create", L"/TN", wide(taskName(schedule)), L"/TR", run, L"/SC", every, L"/F"};
    if (schedule.whetherLoggedOn) {
        // No password is stored: the task runs as the user, logged on or not.
        args.insert(args.end(), {L"/RU", userName(), L"/NP"});
    }
    const int code = schtasks(args);
    if (code != 0) {
        throw Error("The Task Scheduler did not take the schedule (schtasks.exe ended with " +
                    std::to_string(code) + ")");
    }
    return {};
}

void uninstallSchedule(const Schedule& schedule) {
    schtasks({L"/Delete", L"/TN", wide(taskName(schedule)), L"/F"});
}

} // namespace vellarion
