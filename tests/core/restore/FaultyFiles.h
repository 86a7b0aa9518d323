#pragma once

#include "core/restore/RestoreFiles.h"

#include <filesystem>
#include <fstream>

namespace vellarion::test {

// The restore's file layer with a fault at the Nth call that changes the
// disk: that call fails as a full disk fails (a copy leaves half its file).
// With `crash`, every call from the Nth on fails without touching anything,
// the roll-back's too: the disk is left as a killed process leaves it.
class FaultyFiles : public RestoreFiles {
public:
    explicit FaultyFiles(int failAt, bool crash = false) : failAt_(failAt), crash_(crash) {}

    int calls() const { return calls_; }
    bool failed() const { return failed_; }

    PathStatus status(const std::filesystem::path& path) const override {
        return real().status(path);
    }
    std::vector<std::filesystem::path> list(const std::filesystem::path& folder,
                                            std::error_code& ec) const override {
        return real().list(folder, ec);
    }
    std::uint64_t freeSpace(const std::filesystem::path& folder,
                            std::error_code& ec) const override {
        return real().freeSpace(folder, ec);
    }
    void copyFile(const std::filesystem::path& from, const std::filesystem::path& to,
                  std::error_code& ec) override {
        if (fault(ec)) {
            if (!crash_ || calls_ == failAt_) {
                // Half the file written when the disk filled up.
                std::error_code ignored;
                real().copyFile(from, to, ignored);
                std::filesystem::resize_file(to, std::filesystem::file_size(from) / 2, ignored);
            }
            return;
        }
        real().copyFile(from, to, ec);
    }
    void rename(const std::filesystem::path& from, const std::filesystem::path& to,
                std::error_code& ec) override {
        if (!fault(ec)) {
            real().rename(from, to, ec);
        }
    }
    void removeFile(const std::filesystem::path& path, std::error_code& ec) override {
        if (!fault(ec)) {
            real().removeFile(path, ec);
        }
    }
    void createFolder(const std::filesystem::path& path, std::error_code& ec) override {
        if (!fault(ec)) {
            real().createFolder(path, ec);
        }
    }
    void removeFolder(const std::filesystem::path& path, std::error_code& ec) override {
        if (!fault(ec)) {
            real().removeFolder(path, ec);
        }
    }
    void setPermissions(const std::filesystem::path& path, std::filesystem::perms perms,
                        std::error_code& ec) override {
        if (!fault(ec)) {
            real().setPermissions(path, perms, ec);
        }
    }
    void syncFileSystem(const std::filesystem::path& folder, std::error_code& ec) override {
        if (!fault(ec)) {
            real().syncFileSystem(folder, ec);
        }
    }
    void syncFolder(const std::filesystem::path& path, std::error_code& ec) override {
        if (!fault(ec)) {
            real().syncFolder(path, ec);
        }
    }
    std::unique_ptr<HeldFile> createHeld(const std::filesystem::path& path,
                                         std::string_view content, std::error_code& ec) override {
        if (fault(ec)) {
            return nullptr;
        }
        std::unique_ptr<HeldFile> held = real().createHeld(path, content, ec);
        return held ? std::make_unique<Held>(*this, std::move(held)) : nullptr;
    }
    bool isHeld(const std::filesystem::path& path) const override { return real().isHeld(path); }

private:
    class Held : public HeldFile {
    public:
        Held(FaultyFiles& files, std::unique_ptr<HeldFile> held)
            : files_(files), held_(std::move(held)) {}
        void overwrite(std::uint64_t offset, std::string_view bytes, std::error_code& ec) override {
            if (!files_.fault(ec)) {
                held_->overwrite(offset, bytes, ec);
            }
        }

    private:
        FaultyFiles& files_;
        std::unique_ptr<HeldFile> held_;
    };

    static RestoreFiles& real() { return systemRestoreFiles(); }

    // True (and `ec` set) when this call is to fail.
    bool fault(std::error_code& ec) {
        ++calls_;
        if (calls_ == failAt_ || (crash_ && calls_ > failAt_)) {
            failed_ = true;
            ec = std::make_error_code(std::errc::no_space_on_device);
            return true;
        }
        ec.clear();
        return false;
    }

    int failAt_;
    bool crash_;
    int calls_ = 0;
    bool failed_ = false;
};

} // namespace vellarion::test
