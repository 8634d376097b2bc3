// Walks a window's UI Automation tree, as a screen reader on Windows sees it,
// and prints each element's control type and name, one a line, indented by
// its depth:
//   uia_probe <window title> [seconds to wait for the window]
// It uses the UI Automation client functions of uiautomationcore.dll (found
// at run time: MinGW-w64 has neither their declarations nor an import
// library). Exits 0 when the window was found and had elements below it, 1
// when no such window appeared, 3 when UI Automation gave no tree or did not
// answer within 20 seconds.

#include <windows.h>

#include <oleauto.h>

#include <cstdio>
#include <type_traits>

namespace {

// The client API's own types, as uiautomationcoreapi.h declares them.
using Node = void *;
struct Condition {
    int type; // 0: true, every element
};
struct CacheRequest {
    Condition *view;
    int scope; // 1: the element itself
    int *properties;
    int propertyCount;
    int *patterns;
    int patternCount;
    int mode; // 1: full elements
};
constexpr int kControlTypeProperty = 30003;
constexpr int kNameProperty = 30005;
constexpr int kNextSibling = 1;
constexpr int kFirstChild = 3;

struct Client {
    HRESULT(WINAPI *nodeFromHandle)(HWND, Node *);
    HRESULT(WINAPI *propertyValue)(Node, int, VARIANT *);
    HRESULT(WINAPI *navigate)(Node, int, Condition *, CacheRequest *, SAFEARRAY **, BSTR *);
    HRESULT(WINAPI *nodeFromVariant)(VARIANT *, Node *);

    bool load()
    {
        HMODULE core = LoadLibraryW(L"uiautomationcore.dll");
        if (!core)
            return false;
        const auto get = [core](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                reinterpret_cast<void *>(GetProcAddress(core, name)));
            return function != nullptr;
        };
        return get(nodeFromHandle, "UiaNodeFromHandle") && get(propertyValue, "UiaGetPropertyValue")
               && get(navigate, "UiaNavigate") && get(nodeFromVariant, "UiaHUiaNodeFromVariant");
    }

    // The element in `direction` from `node`, or nullptr.
    Node step(Node node, int direction) const
    {
        Condition every{0};
        CacheRequest request{&every, 1, nullptr, 0, nullptr, 0, 1};
        SAFEARRAY *found = nullptr;
        BSTR structure = nullptr;
        if (FAILED(navigate(node, direction, &every, &request, &found, &structure)) || !found)
            return nullptr;
        Node next = nullptr;
        LONG first[2] = {0, 0};
        VARIANT element;
        VariantInit(&element);
        if (SUCCEEDED(SafeArrayGetElement(found, first, &element)))
            nodeFromVariant(&element, &next);
        SysFreeString(structure);
        return next;
    }

    void print(Node node, int depth) const
    {
        VARIANT name, type;
        VariantInit(&name);
        VariantInit(&type);
        propertyValue(node, kNameProperty, &name);
        propertyValue(node, kControlTypeProperty, &type);
        std::printf("%*s%ld \"%ls\"\n", depth * 2, "", V_VT(&type) == VT_I4 ? static_cast<long>(V_I4(&type)) : -1L,
                    V_VT(&name) == VT_BSTR && V_BSTR(&name) ? V_BSTR(&name) : L"");
        VariantClear(&name);
        VariantClear(&type);
    }

    int walk(Node node, int depth) const
    {
        print(node, depth);
        int count = 1;
        for (Node child = step(node, kFirstChild); child && depth < 32; child = step(child, kNextSibling))
            count += walk(child, depth + 1);
        return count;
    }
};

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    if (argc < 2) {
        std::fputs("usage: uia_probe <window title> [seconds to wait]\n", stderr);
        return 2;
    }
    const int waits = argc > 2 ? _wtoi(argv[2]) * 10 : 100;
    HWND window = FindWindowW(nullptr, argv[1]);
    for (int tries = 0; !window && tries < waits; ++tries) {
        Sleep(100);
        window = FindWindowW(nullptr, argv[1]);
    }
    if (!window) {
        std::fprintf(stderr, "uia_probe: no window titled \"%ls\"\n", argv[1]);
        return 1;
    }
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    Client client{};
    Node root = nullptr;
    if (!client.load()) {
        std::fputs("uia_probe: uiautomationcore.dll lacks the client functions\n", stderr);
        return 3;
    }
    const HRESULT result = client.nodeFromHandle(window, &root);
    if (FAILED(result) || !root) {
        std::fprintf(stderr, "uia_probe: no element for the window (UiaNodeFromHandle: 0x%08lx)\n", result);
        return 3;
    }
    struct Walk {
        const Client *client;
        Node root;
        int count;
    } walk{&client, root, 0};
    // The walk runs on a thread of its own, so that a UI Automation call that
    // never returns ends the probe instead of hanging it.
    const auto walker = [](void *argument) -> DWORD {
        auto *w = static_cast<Walk *>(argument);
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        w->count = w->client->walk(w->root, 0);
        std::fflush(stdout);
        return 0;
    };
    HANDLE thread = CreateThread(nullptr, 0, walker, &walk, 0, nullptr);
    if (!thread || WaitForSingleObject(thread, 20000) != WAIT_OBJECT_0) {
        std::fflush(stdout);
        std::fputs("uia_probe: UI Automation did not answer within 20 s\n", stderr);
        ExitProcess(3);
    }
    std::fprintf(stderr, "uia_probe: %d elements\n", walk.count);
    return walk.count > 1 ? 0 : 3;
}
