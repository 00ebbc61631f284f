// The IDE calls the four exports as stdcall functions: each must take its own
// arguments off the stack. A cdecl export, or one with a different argument
// count, leaves ESP off after the call and the IDE crashes later. Only the
// 32-bit build has a calling convention to get wrong.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "harness.h"

#if defined(__i386__)

// Pushes `count` arguments (the last first) and calls `function` as a stdcall
// caller does, then returns how many bytes the callee left on the stack
// (negative when it took too many) and restores ESP either way.
extern "C" int CallCountingStackBytes(const void* function, const DWORD* arguments, int count, DWORD* result);
asm(R"(
    .text
    .globl _CallCountingStackBytes
_CallCountingStackBytes:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    pushl %ebx
    movl 12(%ebp), %edx
    movl 16(%ebp), %ecx
    movl %esp, %esi
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%edx,%ecx,4)
    jmp 1b
2:  call *8(%ebp)
    movl 20(%ebp), %edx
    movl %eax, (%edx)
    movl %esi, %eax
    subl %esp, %eax
    movl %esi, %esp
    popl %ebx
    popl %edi
    popl %esi
    popl %ebp
    ret
)");

namespace {

TEST(StdcallExports, EachTakesItsOwnArgumentsOffTheStack) {
    StandInHost host;
    ASSERT_TRUE(CreateStandInHost(host, true));
    HMODULE module = LoadLibraryA(PathBesideTests("Pellform_WA.dll").c_str());
    ASSERT_NE(module, nullptr);
    auto find = [&](const char* name) { return reinterpret_cast<const void*>(GetProcAddress(module, name)); };

    char name[512] = "", description[512] = "";
    AddInHandles handles{host.frame, host.menuBar, host.mdiClient};
    const UINT itemsBefore = GetMenuItemCount(GetSubMenu(host.menuBar, kAddInsSubmenu));
    struct Call {
        const char* name;
        std::vector<DWORD> arguments;
    };
    const Call calls[] = {
        {"GetWAAddInData", {reinterpret_cast<DWORD>(name), reinterpret_cast<DWORD>(description)}},
        {"WAAddInLoad", {reinterpret_cast<DWORD>(&handles), 0}},
        {"FrameWindowProc", {reinterpret_cast<DWORD>(host.frame), WM_NULL, 0, 0}},
        {"WAAddInUnload", {}},
    };
    DWORD results[4] = {};
    for (int i = 0; i < 4; ++i) {
        const void* function = find(calls[i].name);
        ASSERT_NE(function, nullptr) << calls[i].name;
        const int leftBytes = CallCountingStackBytes(function, calls[i].arguments.data(),
                                                     static_cast<int>(calls[i].arguments.size()), &results[i]);
        EXPECT_EQ(leftBytes, 0) << calls[i].name << " with " << calls[i].arguments.size() << " arguments";
    }
    // The calls did their work: data filled in, the item added, then taken away.
    EXPECT_EQ(std::strlen(description), 81u);
    EXPECT_EQ(std::string(name).rfind("Pellform", 0), 0u) << name;
    EXPECT_EQ(results[1], 0u);
    EXPECT_NE(results[3], 0u);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(host.menuBar, kAddInsSubmenu)), static_cast<int>(itemsBefore));
    FreeLibrary(module);
    DestroyStandInHost(host);
}

}  // namespace

#endif
