#pragma once

namespace quorvel {

// What the frame needs from a template window: its "保存" and "另存为..."
// items, and the question asked of every template window before the console
// exits. The frame finds template windows with dynamic_cast on the MDI
// child's widget, so the window class itself stays in the designer.
class TemplateWindow {
public:
    virtual ~TemplateWindow() = default;
    virtual void SaveModel() = 0;
    virtual void SaveModelAs() = 0;
    // Asks the operator about unsaved changes. True when the window may close;
    // a window that answered true closes afterwards without asking again.
    virtual bool CloseQuery() = 0;
};

} // namespace quorvel
