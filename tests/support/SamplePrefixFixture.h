#pragma once

#include "TempDir.h"
#include "core/services/SamplePrefix.h"
#include "core/services/ServicesFactory.h"

#include <memory>

namespace vellarion::test {

// A sample Windows prefix in a temporary folder (removed afterwards): the
// data of the chosen browsers for Windows version 5, 6 or another number,
// laid out by the demo builder. On POSIX it also gives the services working
// on it, as the factory builds them for "--prefix DIR".
class SamplePrefixFixture {
public:
    explicit SamplePrefixFixture(SamplePrefixOptions options = {});

    const SamplePrefix& sample() const { return sample_; }
    const SamplePrefixOptions& options() const { return options_; }
    const TempDir& dir() const { return dir_; }
    // The prefix's files by their path inside drive_c ("users/demo/...").
    std::filesystem::path onDriveC(std::string_view relative) const;

#ifndef _WIN32
    SystemServices& services() {
        return *services_;
    }
#endif

private:
    TempDir dir_;
    SamplePrefixOptions options_;
    SamplePrefix sample_;
#ifndef _WIN32
    std::unique_ptr<SystemServices> services_;
#endif
};

} // namespace vellarion::test
