// Schedules on Windows: a Task Scheduler task of the user, made and deleted
// with schtasks.exe, and the user's files.
#include "core/schedule/Schedule.h"
#include "core/services/ChildProcess.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/Text.h"
#include "core/text/Catalogue.h"

#include <cstdlib>
#include <cwchar>
#include <fstream>
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

// Runs schtasks.exe with those arguments, hidden; its exit code, -1 when it
// could not be started.
int schtasks(const std::vector<std::wstring>& args) {
    ChildRequest request;
    request.program = L"schtasks.exe";
    for (const std::wstring& a : args) {
        request.arguments.push_back(pathToUtf8(a));
    }
    request.discardOutput = true;
    const ChildResult result = runChild(request);
    return result.end == ChildResult::End::Exited ? result.exitCode : -1;
}

bool isSid(PSID sid, WELL_KNOWN_SID_TYPE type) {
    BYTE buffer[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof buffer;
    return ::CreateWellKnownSid(type, nullptr, buffer, &size) && ::EqualSid(sid, buffer);
}

std::wstring xmlText(std::wstring_view text) {
    std::wstring escaped;
    for (const wchar_t c : text) {
        switch (c) {
        case L'&':
            escaped += L"&amp;";
            break;
        case L'<':
            escaped += L"&lt;";
            break;
        case L'>':
            escaped += L"&gt;";
            break;
        case L'"':
            escaped += L"&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

// S4U runs the task while the user is logged off with no password stored.
std::wstring taskDefinition(const Schedule& schedule, const fs::path& program) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t start[32];
    swprintf(start, 32, L"%04u-%02u-%02uT%02u:%02u:00", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute);
    std::wstring trigger = L"<CalendarTrigger><StartBoundary>" + std::wstring(start) +
                           L"</StartBoundary><Enabled>true</Enabled>";
    if (schedule.every == "weekly") {
        static const wchar_t* days[] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                        L"Thursday", L"Friday", L"Saturday"};
        trigger += L"<ScheduleByWeek><WeeksInterval>1</WeeksInterval><DaysOfWeek><" +
                   std::wstring(days[now.wDayOfWeek % 7]) + L" /></DaysOfWeek></ScheduleByWeek>";
    } else {
        if (schedule.every == "hourly") {
            trigger += L"<Repetition><Interval>PT1H</Interval><Duration>P1D</Duration>"
                       L"</Repetition>";
        }
        trigger += L"<ScheduleByDay><DaysInterval>1</DaysInterval></ScheduleByDay>";
    }
    trigger += L"</CalendarTrigger>";
    return L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
           L"<Task version=\"1.2\" "
           L"xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">"
           L"<RegistrationInfo><Description>Vellarion backup " +
           xmlText(wide(schedule.id)) +
           L"</Description></RegistrationInfo>"
           L"<Triggers>" +
           trigger +
           L"</Triggers>"
           L"<Principals><Principal id=\"Author\"><LogonType>" +
           (schedule.whetherLoggedOn ? L"S4U" : L"InteractiveToken") +
           L"</LogonType><RunLevel>LeastPrivilege</RunLevel></Principal></Principals>"
           L"<Settings><StartWhenAvailable>true</StartWhenAvailable>"
           L"<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
           L"<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"
           L"<MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
           L"<Enabled>true</Enabled></Settings>"
           L"<Actions Context=\"Author\"><Exec><Command>" +
           xmlText(program.wstring()) + L"</Command><Arguments>schedule run " +
           xmlText(wide(schedule.id)) + L"</Arguments></Exec></Actions></Task>\r\n";
}

fs::path runningProgram() {
    return currentProgram();
}

ScheduleStore ScheduleStore::standard() {
    wchar_t appData[MAX_PATH];
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData))) {
        throw Error(E_("The folder of the user's application data is unknown"));
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
        return formatText(E_("the password file \"%1\" is no file"), {shown});
    }
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(file.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return formatText(E_("cannot read who may read the password file \"%1\""), {shown});
    }
    const std::unique_ptr<void, decltype(&::LocalFree)> owned(descriptor, &::LocalFree);
    HANDLE token = nullptr;
    BYTE userBuffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) ||
        !::GetTokenInformation(token, TokenUser, userBuffer, sizeof userBuffer, &size)) {
        return E_("cannot tell who runs the program");
    }
    ::CloseHandle(token);
    const PSID user = reinterpret_cast<TOKEN_USER*>(userBuffer)->User.Sid;
    const std::string others = formatText(
        E_("the password file \"%1\" may be read by others; make it readable by its owner only"),
        {shown});
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
    // The task's definition goes to schtasks.exe as a file: every choice has
    // its element there, and Wine's schtasks takes no other form.
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) {
        throw Error(E_("The folder for temporary files is unknown"));
    }
    const fs::path file = fs::path(folder) /
                          (L"vellarion-task-" + std::to_wstring(::GetCurrentProcessId()) + L".xml");
    const std::wstring xml = taskDefinition(schedule, program);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        const wchar_t bom = 0xfeff;
        out.write(reinterpret_cast<const char*>(&bom), sizeof bom);
        out.write(reinterpret_cast<const char*>(xml.data()),
                  static_cast<std::streamsize>(xml.size() * sizeof(wchar_t)));
        if (!out) {
            throw Error(formatText(E_("Cannot write \"%1\""), {pathToUtf8(file)}));
        }
    }
    const int code =
        schtasks({L"/Create", L"/TN", wide(taskName(schedule)), L"/XML", file.wstring(), L"/F"});
    std::error_code ec;
    fs::remove(file, ec);
    if (code != 0) {
        throw Error(formatText(
            E_("The Task Scheduler did not take the schedule (schtasks.exe ended with %1)"),
            {std::to_string(code)}));
    }
    return {};
}

void uninstallSchedule(const Schedule& schedule) {
    schtasks({L"/Delete", L"/TN", wide(taskName(schedule)), L"/F"});
}

} // namespace vellarion
