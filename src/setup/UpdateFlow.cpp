#include "setup/UpdateFlow.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "core/Exception.h"
#include "core/FilePaths.h"
#include "core/MultiLanguageException.h"
#include "core/TaggedString.h"
#include "core/Utf.h"
#include "platform/Application.h"
#include "platform/FileSystem.h"
#include "platform/HeldFolder.h"
#include "platform/Platform.h"
#include "platform/Shell.h"
#include "setup/ProgramArguments.h"
#include "setup/Product.h"
#include "setup/SetupTexts.h"
#include "setup/SystemIntegration.h"
#include "setup/UpdateAction.h"
#include "setup/UpdateLevel.h"
#include "setup/UpdatePackage.h"
#include "storage/DataRecords.h"
#include "storage/PackageSignature.h"

namespace marlowen {

namespace {

constexpr uint32_t kSettleDelay = 100;  // before the first action
constexpr uint32_t kRetryDelay = 500;   // before each new attempt of a failed action
// The retry question: the exclamation icon (0x30) with Retry and Cancel.
constexpr uint32_t kRetryBoxFlags = 0x30 | MessageBoxFlag::RetryCancel;

constexpr std::u16string_view kOldUpdate = u"[rus]Обнаружено устаревшее обновление.[eng]Old update files found.";
constexpr std::u16string_view kOutOfMemory = u"[rus]Недостаточно памяти.[eng]Out of memory.";
constexpr std::u16string_view kNotSigned =
    u"[rus]Пакет обновления не подписан издателем Marlowen.[eng]The update package is not signed by the publisher "
    u"of Marlowen.";
constexpr std::u16string_view kSucceeded =
    u"[rus]Обновление успешно установлено.[eng]Update succesfully installed.";

// What the command line says.
struct TUpdateCommand {
    std::string Key;
    std::string Package;
    std::string Program;
    std::string Arguments;  // the program's arguments, each quoted by the Windows rules
};

TUpdateCommand ParseCommand(const std::vector<std::string>& args) {
    auto at = [&args](size_t i) { return i < args.size() ? args[i] : std::string(); };
    const std::vector<std::string> programArguments(args.begin() + static_cast<ptrdiff_t>(std::min<size_t>(4, args.size())),
                                                    args.end());
    return TUpdateCommand{at(1), at(2), at(3), JoinProgramArguments(programArguments)};
}

using SetupTexts::Resolve;

// The public keys of the resource this executable was built with; none: unsigned packages are
// accepted. A resource that holds anything but keys trusts nothing rather than everything.
std::vector<Ed25519::TPublicKey> TrustedUpdateKeys(const TApplication& application) {
    const std::vector<uint8_t> text = application.OwnResource(PackageSignature::kTrustedKeysResource);
    const auto keys = PackageSignature::ParseKeyList(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
    if (!keys) SetupTexts::Raise(kNotSigned);
    return *keys;
}

// Whether PACKAGE.sig beside the package holds a signature of the bytes read by one of the keys.
bool SignatureHolds(TFileSystem& files, const std::vector<Ed25519::TPublicKey>& keys, const std::string& package,
                    const std::vector<uint8_t>& bytes) {
    // A signature file is 129 bytes or so: a larger one is no signature and is not even read.
    const std::string path = PackageSignature::SignatureFileName(package);
    const std::vector<TFileEntry> found = files.FindFiles(ExtractFileDir(path), ExtractFileName(path));
    if (found.size() != 1 || found[0].Size > 4096 || (found[0].Attributes & FileAttribute::Directory) != 0) return false;
    std::vector<uint8_t> signature;
    try {
        signature = files.ReadFile(path);
    } catch (const Exception&) {
        return false;
    }
    return PackageSignature::SignedByAny(keys, bytes,
                                         std::string_view(reinterpret_cast<const char*>(signature.data()), signature.size()));
}

// An error message as the body of a tagged section, coming out exactly as it went in.
std::u16string TaggedBody(const std::string& message) { return EscapeTagged(Utf8ToUtf16(message)); }

// Retry/Cancel for an action that failed again; true for Retry.
bool AskRetry(TPlatform& platform, const std::string& message) {
    const std::u16string cause = TaggedBody(message);
    const std::u16string text =
        u"[rus]Ошибка во время обновления. Закройте все приложения Marlowen и нажмите «Далее».\r" + cause +
        u"[eng]Updating error. Close all Marlowen applications and retry.\r" + cause;
    const int32_t answer = platform.Application.MessageBox(
        Resolve(text), Resolve(SetupTexts::UpdateTitle), kRetryBoxFlags);
    return answer == MessageBoxAnswer::Retry;
}

// Applies one action; its first failure is retried silently, every further one asks.
void ApplyWithRetries(TPlatform& platform, const TUpdateTarget& target, const TDataRecord& record) {
    for (bool first = true;; first = false) {
        try {
            ApplyUpdateAction(platform, target, record);
            return;
        } catch (const Exception& error) {
            if (!first && !AskRetry(platform, error.Message())) throw;
        }
        platform.Application.Sleep(kRetryDelay);
    }
}

// A package writes and deletes only inside the registered installation: its files folder in the
// install folder, its shortcut folder in the program group, and no action part leading out of
// them. Checked whole before the first action, so that a refused package changes nothing.
TUpdateTarget RequireConfined(const TUninstallInfo& installed, const TUpdatePackageHeader& header,
                              const TDataRecords& actions) {
    TUpdateTarget target = ConfineUpdate(installed, header);
    for (const TDataRecord* record : actions) CheckUpdateActionPaths(target, *record);
    return target;
}

// Everything that, when it fails, leaves the update not installed.
void InstallUpdate(TPlatform& platform, const TUpdateCommand& command) {
    SetupTexts::RequireAdministrator(platform.Registry);
    // Without an installation there is nothing a package could be confined to.
    TUninstallInfo installed;
    if (!ReadUninstallInfo(platform.Registry, Product::Name, installed)) {
        SetupTexts::Raise(SetupTexts::InstallInfoNotFound);
    }
    // The package stays open from its reading to its deletion: the file deleted is the file read,
    // whatever its folder's owner does to the name meanwhile.
    const std::unique_ptr<THeldFile> package = platform.Files.OpenHeldFile(command.Package);
    // Before a byte of it is unsealed or parsed: with keys built in, only the publisher's packages.
    const std::vector<Ed25519::TPublicKey> keys = TrustedUpdateKeys(platform.Application);
    if (!keys.empty() && !SignatureHolds(platform.Files, keys, command.Package, package->Bytes())) {
        SetupTexts::Raise(kNotSigned);
    }
    TUpdatePackageHeader header;
    TDataRecords actions;
    ReadUpdatePackage(package->Bytes(), command.Key, header, actions);
    const TUpdateTarget target = RequireConfined(installed, header, actions);

    if (ReadUpdateLevel(platform.Registry) >= header.UpdateLevel) {
        package->Delete();
        SetupTexts::Raise(kOldUpdate);
    }
    platform.Application.Sleep(kSettleDelay);
    for (const TDataRecord* record : actions) ApplyWithRetries(platform, target, *record);

    // Recorded only now, so that a package that failed halfway can be applied again.
    WriteUpdateLevel(platform.Registry, header.UpdateLevel);
    package->Delete();
}

EMultiLanguageException NotInstalled(const std::string& message) {
    const std::u16string cause = TaggedBody(message);
    return EMultiLanguageException::Create(u"[rus]Обновление не было полностью установлено из-за ошибки:\r" + cause +
                                           u"[eng]Update is not installed.\r" + cause);
}

}  // namespace

void RunUpdateFlow(TPlatform& platform, const std::vector<std::string>& args) {
    TUpdateCommand command;
    try {
        command = ParseCommand(args);
        platform.Application.SetTitle(Resolve(SetupTexts::UpdateTitle));
        InstallUpdate(platform, command);
    } catch (const Exception& error) {
        throw NotInstalled(error.Message());
    } catch (const std::bad_alloc&) {
        throw NotInstalled(Resolve(kOutOfMemory));
    } catch (const std::exception& error) {
        // Whatever else the runtime raises ends here too: the package stays for another try.
        throw NotInstalled(error.what());
    }
    platform.Application.MessageBox(Resolve(kSucceeded), Resolve(SetupTexts::InstallTitle),
                                    MessageBoxFlag::IconInformation);
    if (!command.Program.empty()) {
        // The program runs with the user's own rights, never with the update's.
        platform.Shell.ExecuteAsUser(command.Program, command.Arguments, ExtractFilePath(command.Program));
    }
}

}  // namespace marlowen
