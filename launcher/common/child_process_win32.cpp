#include "common/child_process.h"

#include <memory>

#include "diagnostics/trace.h"

namespace kestro {

namespace {

constexpr int kStartAttempts = 3;
constexpr DWORD kRetryPauseMs = 200;

// The attribute list that names the handles a child inherits.
class HandleList {
public:
    explicit HandleList(std::initializer_list<HANDLE> handles) : handles_(handles) {
        if (handles_.size() == 0) return;
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage_.reset(new char[size]);
        auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.get());
        if (!InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
        if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, const_cast<HANDLE*>(handles_.begin()),
                                       handles_.size() * sizeof(HANDLE), nullptr, nullptr)) {
            DeleteProcThreadAttributeList(list);
            return;
        }
        list_ = list;
    }
    ~HandleList() {
        if (list_) DeleteProcThreadAttributeList(list_);
    }
    HandleList(const HandleList&) = delete;
    HandleList& operator=(const HandleList&) = delete;

    bool empty() const { return handles_.size() == 0; }
    LPPROC_THREAD_ATTRIBUTE_LIST get() const { return list_; }

private:
    // The caller's list, which outlives this one: the attribute list refers to it.
    std::initializer_list<HANDLE> handles_;
    std::unique_ptr<char[]> storage_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

}  // namespace

bool startChildProcess(const char* application, const std::string& commandLine, STARTUPINFOA& startup,
                       PROCESS_INFORMATION& child, std::initializer_list<HANDLE> inherited, DWORD creationFlags) {
    HandleList handles(inherited);
    if (!handles.empty() && !handles.get()) return false;  // the last error says why
    STARTUPINFOEXA extended{};
    extended.StartupInfo = startup;
    DWORD flags = NORMAL_PRIORITY_CLASS | creationFlags;
    if (handles.get()) {
        extended.StartupInfo.cb = sizeof extended;
        extended.lpAttributeList = handles.get();
        flags |= EXTENDED_STARTUPINFO_PRESENT;
    }
    for (int attempt = 1;; ++attempt) {
        // CreateProcessA may write into the command line; each attempt gets it whole.
        std::string text = commandLine;
        if (CreateProcessA(application, text.data(), nullptr, nullptr, handles.get() ? TRUE : FALSE, flags, nullptr,
                           nullptr, &extended.StartupInfo, &child))
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == kStartAttempts) {
            SetLastError(error);
            return false;
        }
        trace("CreateProcess failed with error %d on attempt %d, starting again", int(error), attempt);
        Sleep(kRetryPauseMs * DWORD(attempt));
    }
}

}  // namespace kestro
