// The IDE calls the four exports as stdcall functions: each must take its own
// arguments off the stack. A cdecl export, or one with a different argument
// count, leaves ESP off after the call and the IDE crashes later. Only the
// 32-bit build has a calling convention to get wrong.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "harness.h"

#if defined(__i386__)

// Pushes `count` arguments (the last first), calls `function` as a stdcall
// caller does and returns how many bytes the callee left on the stack
// (negative when it took too many), restoring ESP either way.
extern "C" int CallCountingStackBytes(const void* function, const DWORD* arguments, int count);
asm(R"(
    .text
    .globl _CallCountingStackBytes
_CallCountingStackBytes:
    pushl %ebp
    movl %esp, %ebp
    movl 12(%ebp), %edx
    movl 16(%ebp), %ecx
1:  jecxz 2f
    pushl -4(%edx,%ecx,4)
    loop 1b
2:  call *8(%ebp)
    movl %ebp, %eax
    subl %esp, %eax
    movl %ebp, %esp
    popl %ebp
    ret
)");

namespace {

TEST(StdcallExports, EachTakesItsOwnArgumentsOffTheStack) {
    StandInHost host;
    ASSERT_TRUE(CreateStandInHost(host, true));
    HMODULE module = LoadLibraryA(PathBesideTests("Pellform_WA.dll").c_str());
    ASSERT_NE(module, nullptr);
    char name[512] = "", description[512] = "";
    AddInHandles handles{host.frame, host.menuBar, host.mdiClient};
    const std::pair<const char*, std::vector<DWORD>> calls[] = {
        {"GetWAAddInData", {reinterpret_cast<DWORD>(name), reinterpret_cast<DWORD>(description)}},
        {"WAAddInLoad", {reinterpret_cast<DWORD>(&handles), 0}},
        {"FrameWindowProc", {reinterpret_cast<DWORD>(host.frame), WM_NULL, 0, 0}},
        {"WAAddInUnload", {}},
    };
    for (const auto& [export_, arguments] : calls) {
        const void* function = reinterpret_cast<const void*>(GetProcAddress(module, export_));
        ASSERT_NE(function, nullptr) << export_;
        EXPECT_EQ(CallCountingStackBytes(function, arguments.data(), static_cast<int>(arguments.size())), 0)
            << export_ << " with " << arguments.size() << " arguments";
    }
    // The data went where the IDE asked (the menu item's coming and going is checked on both builds).
    EXPECT_EQ(std::string(name).rfind("Pellform v1.00\xDF by ", 0), 0u) << name;
    EXPECT_STREQ(description, "This addin helps when generating and editing GDI region objects from image files.");
    FreeLibrary(module);
    DestroyStandInHost(host);
}

}  // namespace

#endif
