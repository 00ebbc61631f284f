// The tool's entry: the command line as UTF-8, and the last guard.
#include <cstdio>
#include <string>
#include <vector>

#include "core/no_throw.h"
#include "tool/pellform_cli.h"
#include "tool/tool_io.h"

#ifdef _WIN32
// The arguments come as UTF-16 (the shell's UTF-8 under wine, any name on
// Windows) and every command reads them as UTF-8.
int wmain(int argc, wchar_t** wideArgv) {
    PrepareStandardStreams();
    return ResultOrRecovery(
        [&] {
            std::vector<std::string> arguments = ArgumentsAsUtf8(argc, wideArgv);
            std::vector<char*> argv;
            for (std::string& argument : arguments) argv.push_back(&argument[0]);
            argv.push_back(nullptr);
            return RunTool(argc, argv.data());
        },
        [] {
            std::fputs("pellform: out of memory\n", stderr);
            return 1;
        });
}
#else
// The arguments are the bytes typed, which every command takes as they are.
int main(int argc, char** argv) {
    PrepareStandardStreams();
    return ResultOrRecovery([&] { return RunTool(argc, argv); },
                            [] {
                                std::fputs("pellform: out of memory\n", stderr);
                                return 1;
                            });
}
#endif
