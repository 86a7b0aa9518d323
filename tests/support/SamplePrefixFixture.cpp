#include "SamplePrefixFixture.h"

#include "core/services/PathMapper.h"

namespace vellarion::test {

SamplePrefixFixture::SamplePrefixFixture(SamplePrefixOptions options)
    : options_(std::move(options)), sample_(buildSamplePrefix(dir_ / "prefix", options_)) {
#ifndef _WIN32
    EnvironmentOptions env;
    env.prefix = pathToUtf8(sample_.prefix);
    env.windowsVersion = options_.windowsVersion;
    ProcessEnvironment process;
    process.login = "nobody";
    services_ = makeSystemServices(env, process);
#endif
}

std::filesystem::path SamplePrefixFixture::onDriveC(std::string_view relative) const {
    return sample_.driveC / pathFromUtf8(relative);
}

} // namespace vellarion::test
