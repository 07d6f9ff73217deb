#include "tests/app/QuietRun.h"

#include "app/CommandLineRun.h"
#include "filesystem/CUniqueHandle.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempDirectory.h"

QuietEnd RunQuietly(CaseDirection direction, const std::wstring& directory) {
    TempDirectory streams;
    std::wstring errorsPath = streams.Path() + L"\\errors", outputPath = streams.Path() + L"\\output";
    QuietEnd end;
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        CFileHandle errors(
            CreateFileW(errorsPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
        CFileHandle output(
            CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
        HANDLE hOldErrors = GetStdHandle(STD_ERROR_HANDLE), hOldOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        SetStdHandle(STD_ERROR_HANDLE, errors.Get());
        SetStdHandle(STD_OUTPUT_HANDLE, output.Get());
        CaseCommand command;
        command.bGiven = command.bQuiet = true;
        command.direction = direction;
        command.directory = directory;
        end.nExit = RunFromCommandLine(command);
        SetStdHandle(STD_ERROR_HANDLE, hOldErrors);
        SetStdHandle(STD_OUTPUT_HANDLE, hOldOutput);
    }
    end.errors = ReadFileBytes(errorsPath);
    return end;
}
