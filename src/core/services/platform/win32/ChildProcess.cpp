// Children on Windows: CreateProcessW with a quoted command line, pipes
// for the child's output and errors read by threads of their own, and only
// those handles inherited.
#include "core/services/ChildProcess.h"

#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/Text.h"

#include <cwchar>
#include <mutex>
#include <thread>
#include <windows.h>

namespace vellarion {

namespace fs = std::filesystem;

namespace {

std::wstring wide(std::string_view text) {
    return pathFromUtf8(text).wstring();
}

std::string systemText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message =
        length > 0 ? utf16ToUtf8(std::u16string_view(reinterpret_cast<char16_t*>(text), length))
                   : "system error " + std::to_string(code);
    ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message;
}

// A handle closed when it goes.
class Handle {
public:
    Handle() = default;
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    HANDLE* out() { return &handle_; }
    void reset(HANDLE handle = nullptr) {
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle_);
        }
        handle_ = handle;
    }

private:
    HANDLE handle_ = nullptr;
};

// A pipe whose writing end the child inherits.
bool openPipe(Handle& read, Handle& write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    if (!::CreatePipe(read.out(), write.out(), &inherit, 0)) {
        return false;
    }
    return ::SetHandleInformation(read.get(), HANDLE_FLAG_INHERIT, 0) != 0;
}

// This process's environment block with the request's variables set.
std::wstring environmentFor(const ChildRequest& request) {
    std::wstring block;
    wchar_t* strings = ::GetEnvironmentStringsW();
    for (const wchar_t* e = strings; e != nullptr && *e != L'\0'; e += std::wcslen(e) + 1) {
        const std::wstring_view entry(e);
        // Names like "=C:" (the drives' folders) start with "=".
        const std::wstring_view name = entry.substr(0, entry.find(L'=', 1));
        bool replaced = false;
        for (const auto& [setName, value] : request.environment) {
            replaced =
                replaced || ::_wcsicmp(wide(setName).c_str(), std::wstring(name).c_str()) == 0;
        }
        if (!replaced) {
            block.append(entry);
            block.push_back(L'\0');
        }
    }
    ::FreeEnvironmentStringsW(strings);
    for (const auto& [name, value] : request.environment) {
        block += wide(name) + L"=" + wide(value);
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

void drain(HANDLE pipe, const std::function<void(std::string_view)>& piece) {
    char buffer[16384];
    DWORD got = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        piece(std::string_view(buffer, got));
    }
}

} // namespace

fs::path currentProgram() {
    std::wstring path(32768, L'\0');
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) {
        throw Error("Cannot tell where this program lies");
    }
    path.resize(length);
    return path;
}

ChildResult runChild(const ChildRequest& request) {
    ChildResult result;
    const std::optional<fs::path> found = programToStart(request.program);
    if (!found) {
        result.notStarted = systemText(ERROR_FILE_NOT_FOUND);
        return result;
    }
    const fs::path& program = *found;
    Handle outRead, outWrite, errRead, errWrite;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Handle nul;
    nul.reset(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                            nullptr));
    if ((!request.discardOutput && !openPipe(outRead, outWrite)) || !openPipe(errRead, errWrite) ||
        nul.get() == INVALID_HANDLE_VALUE) {
        result.notStarted = systemText(::GetLastError());
        return result;
    }
    // Only these handles reach the child: nothing else of ours that
    // happens to be inheritable (a job's lock, an archive being written).
    HANDLE handles[3] = {nul.get(), request.discardOutput ? nul.get() : outWrite.get(),
                         errWrite.get()};
    const DWORD handleCount = request.discardOutput ? 2 : 3;
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> attributeBuffer(size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeBuffer.data());
    if (!::InitializeProcThreadAttributeList(attributes, 1, 0, &size) ||
        !::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles,
                                     handleCount * sizeof(HANDLE), nullptr, nullptr)) {
        result.notStarted = systemText(::GetLastError());
        return result;
    }
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = nul.get();
    startup.StartupInfo.hStdOutput = handles[1];
    startup.StartupInfo.hStdError = errWrite.get();
    startup.lpAttributeList = attributes;

    std::vector<std::wstring> arguments{program.wstring()};
    for (const std::string& a : request.arguments) {
        arguments.push_back(wide(a));
    }
    std::wstring line = windowsCommandLine(arguments);
    std::wstring environment = environmentFor(request);
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(
        program.c_str(), line.data(), nullptr, nullptr, TRUE,
        CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT | EXTENDED_STARTUPINFO_PRESENT,
        environment.data(), nullptr, &startup.StartupInfo, &process);
    const DWORD startError = ::GetLastError();
    ::DeleteProcThreadAttributeList(attributes);
    if (!started) {
        result.notStarted = systemText(startError);
        return result;
    }
    Handle processHandle;
    processHandle.reset(process.hProcess);
    ::CloseHandle(process.hThread);
    outWrite.reset();
    errWrite.reset();
    nul.reset();

    std::thread outReader;
    if (!request.discardOutput) {
        outReader = std::thread([&] {
            drain(outRead.get(), [&](std::string_view piece) { result.output.append(piece); });
        });
    }
    LineSplitter lines([&](std::string_view text) {
        if (request.errorLine) {
            request.errorLine(text);
        }
    });
    // The errors' lines are handed over on this thread: the caller's
    // callbacks never run on another one.
    std::mutex mutex;
    std::string pendingErrors;
    std::thread errReader([&] {
        drain(errRead.get(), [&](std::string_view piece) {
            const std::lock_guard lock(mutex);
            pendingErrors.append(piece);
        });
    });
    const auto handOver = [&] {
        std::string pieces;
        {
            const std::lock_guard lock(mutex);
            pieces.swap(pendingErrors);
        }
        lines.add(pieces);
    };
    bool stopped = false;
    while (::WaitForSingleObject(processHandle.get(), 100) == WAIT_TIMEOUT) {
        handOver();
        if (request.stopRequested && request.stopRequested()) {
            stopped = true;
            ::TerminateProcess(processHandle.get(), 1);
            ::WaitForSingleObject(processHandle.get(), INFINITE);
            break;
        }
    }
    // The pipes end with the child (nothing else holds their writing ends).
    errReader.join();
    if (outReader.joinable()) {
        outReader.join();
    }
    handOver();
    lines.finish();
    DWORD code = 1;
    ::GetExitCodeProcess(processHandle.get(), &code);
    result.end = stopped ? ChildResult::End::Stopped : ChildResult::End::Exited;
    result.exitCode = static_cast<int>(code);
    return result;
}

} // namespace vellarion
