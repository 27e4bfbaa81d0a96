#include "support/WindowSubclass.h"

#include <unordered_map>
#include <vector>

namespace mappa {
namespace {

struct Layer {
    SubclassProcedure procedure;
    void* context;
};

// A subclassed control: its own procedure and the layers in front of it, the
// first added innermost.
struct Subclassed {
    WNDPROC own;
    std::vector<Layer> layers;
};

std::unordered_map<HWND, Subclassed>& Table()
{
    static std::unordered_map<HWND, Subclassed> table;  // the window thread's only
    return table;
}

}  // namespace

// Calls the procedure with `depth` layers behind it: the control's own at depth 0.
LRESULT CallLayer(HWND window, UINT message, WPARAM wParam, LPARAM lParam, std::size_t depth)
{
    const auto found = Table().find(window);
    if (found == Table().end()) return DefWindowProcW(window, message, wParam, lParam);
    // The element stays where it is while the table grows; its layers may move, so copy what is called.
    if (depth == 0) return CallWindowProcW(found->second.own, window, message, wParam, lParam);
    const Layer layer = found->second.layers[depth - 1];
    return layer.procedure(SubclassCall(window, layer.context, depth - 1), message, wParam, lParam);
}

LRESULT SubclassCall::next(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return CallLayer(window_, message, wParam, lParam, below_);
}

LRESULT CALLBACK SubclassedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto found = Table().find(window);
    if (found == Table().end()) return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = CallLayer(window, message, wParam, lParam, found->second.layers.size());
    // The window's last message: its entry goes, and a later window with the same handle starts afresh.
    if (message == WM_NCDESTROY) Table().erase(window);
    return result;
}

bool SubclassWindow(HWND window, SubclassProcedure procedure, void* context)
{
    auto& table = Table();
    if (const auto found = table.find(window); found != table.end()) {
        found->second.layers.push_back({procedure, context});
        return true;
    }
    const LONG_PTR own = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassedWindowProc));
    if (!own) return false;
    table.emplace(window, Subclassed{reinterpret_cast<WNDPROC>(own), {{procedure, context}}});
    return true;
}

bool IsSubclassedBy(HWND window, SubclassProcedure procedure)
{
    const auto found = Table().find(window);
    if (found == Table().end()) return false;
    for (const Layer& layer : found->second.layers)
        if (layer.procedure == procedure) return true;
    return false;
}

}  // namespace mappa
