#pragma once

#include "console/terminals/uploadprogress.h"

class QProgressBar;

namespace quorvel {

// An upload's progress in a window's progress bar. The window's pending
// events are processed after each step, so the bar repaints while the
// upload blocks the window's thread.
class ProgressBarProgress : public UploadProgress {
public:
    explicit ProgressBarProgress(QProgressBar* bar) : m_bar(bar) {}
    void setProgress(int position) override;

private:
    QProgressBar* m_bar;
};

} // namespace quorvel
