#include "core/converter/OperaConverter.h"

#include "core/browsers/DataSet.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/SystemServices.h"
#include "core/services/platform/File.h"
#include "core/wizards/DataRoot.h"

#include <filesystem>

namespace vellarion {

namespace {

namespace fs = std::filesystem;

fs::path nativeOf(const SystemServices& services, const std::string& path) {
    const auto native = services.paths().toNative(path);
    if (!native) {
        throw FileOpenError(services.paths().toDisplay(path),
                            std::make_error_code(std::errc::no_such_file_or_directory));
    }
    return *native;
}

std::string readWhole(const SystemServices& services, const std::string& path) {
    std::error_code ec;
    platform::File file = platform::File::openForReading(nativeOf(services, path),
                                                         platform::ReadShare::DenyWrite, ec);
    if (ec) {
        throw FileOpenError(services.paths().toDisplay(path), ec);
    }
    std::string bytes;
    char buffer[16384];
    for (;;) {
        const std::size_t got = file.read(buffer, sizeof buffer, ec);
        if (ec) {
            throw FileIoError(FileIoError::Operation::Read, services.paths().toDisplay(path), ec);
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(buffer, got);
    }
}

// Replaces the file in one step (platform::replaceFileContent): until the
// rename the original stays whole, whatever fails.
void replaceWhole(const SystemServices& services, const std::string& path, std::string_view bytes) {
    const fs::path target = nativeOf(services, path);
    std::error_code ec;
    const fs::perms perms = fs::status(target, ec).permissions();
    if (!ec && (perms & fs::perms::owner_write) == fs::perms::none) {
        // A read-only file is not for us to replace.
        throw FileCreateError(services.paths().toDisplay(path),
                              std::make_error_code(std::errc::permission_denied));
    }
    platform::replaceFileContent(target, bytes, ec);
    if (ec) {
        throw FileIoError(FileIoError::Operation::Write, services.paths().toDisplay(path), ec);
    }
}

} // namespace

OperaConverter::OperaConverter(const SystemServices& services, ConverterState& state)
    : services_(services), state_(state) {}

bool OperaConverter::locate() {
    if (!locateFile(services_, operaDataSet(), kPrefsFile, state_)) {
        return false;
    }
    state_.ffpath = state_.fullFilePath;
    return true;
}

SystemInformation OperaConverter::systemInformation() const {
    SystemInformation info;
    switch (services_.windowsMajorVersion()) {
    case 5:
        info.family = "XP/2000";
        break;
    case 6:
        info.family = "7/Vista";
        break;
    case 7:
        info.family = "8";
        break;
    default:
        break;
    }
    info.bitness = services_.windows64Bit() ? "64 bit" : "32 bit";
    info.user = services_.GetLoginName();
    return info;
}

ConversionReport OperaConverter::convert(int index, std::string_view oldUser,
                                         std::string_view oldDrive, bool dryRun) {
    ConversionReport report;
    state_.uzer = services_.GetLoginName();
    if (index == kDriveConversion || index == kUserConversion) {
        state_.drv = services_.GetSystemDrive();
    }
    state_.olduser = std::string(oldUser);
    state_.driveltr = std::string(oldDrive);
    report.file = state_.ffpath;
    if (state_.ffpath.empty()) {
        report.refusal = std::string(kPrefsNotFound);
        return report;
    }
    const ConversionPlan plan =
        conversionPlan(index, {state_.uzer, state_.drv, state_.olduser, state_.driveltr});
    if (!plan.refusal.empty()) {
        report.refusal = plan.refusal;
        return report;
    }
    ConversionResult result =
        applyReplacements(readWhole(services_, state_.ffpath), plan.replacements);
    const bool changed = result.changed();
    report.counts = std::move(result.counts);
    report.text = std::move(result.text);
    if (!changed) {
        report.outcome = ConversionReport::Outcome::Unchanged;
    } else if (dryRun) {
        report.outcome = ConversionReport::Outcome::DryRun;
    } else {
        replaceWhole(services_, state_.ffpath, report.text);
        report.outcome = ConversionReport::Outcome::Written;
    }
    return report;
}

} // namespace vellarion
