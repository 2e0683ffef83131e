#pragma once

namespace quorvel {

// Where a template upload reports how far it has come. A window shows it in
// a progress bar (and repaints), a command line in a text bar.
class UploadProgress {
public:
    virtual ~UploadProgress() = default;
    virtual void setProgress(int position) = 0;
};

} // namespace quorvel
