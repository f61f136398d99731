// runWithStreams on Windows: CreateProcessW with a command line quoted the way the C run-time splits
// it, and the standard streams on inheritable file handles.
#include "support/program_run.h"

#include <windows.h>

namespace testsupport {

const char* const kProgramLineEnd = "\r\n";

namespace {

// One argument as the C run-time's command-line splitter reads it back: in double quotes, with
// backslashes doubled only where they precede a quote.
std::wstring quotedArgument(const std::wstring& word) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

HANDLE inheritableFile(const std::filesystem::path& file, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

void setEnvironment(const std::string& name, const std::string& value) { _putenv_s(name.c_str(), value.c_str()); }

int runWithStreams(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& in, const std::filesystem::path& input,
                   const std::filesystem::path& outFile, const std::filesystem::path& errFile) {
    std::wstring commandLine = quotedArgument(program.wstring());
    for (const auto& argument : arguments)
        commandLine += L" " + quotedArgument(std::filesystem::path(argument).wstring());

    HANDLE stdinFile =
        inheritableFile(input.empty() ? std::filesystem::path(L"NUL") : input, GENERIC_READ, OPEN_EXISTING);
    HANDLE stdoutFile = inheritableFile(outFile, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE stderrFile = inheritableFile(errFile, GENERIC_WRITE, CREATE_ALWAYS);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = stdinFile;
    startup.hStdOutput = stdoutFile;
    startup.hStdError = stderrFile;
    PROCESS_INFORMATION process{};
    const std::wstring folder = in.wstring();
    int status = -1;
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                       &startup, &process)) {
        // A program that hangs is ended, and the run reports no exit status.
        if (WaitForSingleObject(process.hProcess, kProgramPatienceSeconds * 1000) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
        } else if (DWORD exitCode = 0; GetExitCodeProcess(process.hProcess, &exitCode)) {
            status = static_cast<int>(exitCode);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (HANDLE file : {stdinFile, stdoutFile, stderrFile}) {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    return status;
}

}  // namespace testsupport
