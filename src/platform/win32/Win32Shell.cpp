#include "platform/win32/Win32Shell.h"

#include "platform/win32/Win32Api.h"

#include "core/Exception.h"
#include "core/FilePaths.h"
#include "platform/shared/ShellLinkFile.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Text.h"

namespace marlowen {

namespace {

// The extended execute structure as the 32-bit shell expects it.
static_assert(sizeof(void*) != 4 || sizeof(SHELLEXECUTEINFOW) == 60, "SHELLEXECUTEINFOW layout");

// Null for an empty text: the shell reads that as "not given".
const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

void Check(HRESULT result) {
    if (FAILED(result)) throw Exception(SystemErrorMessage(static_cast<uint32_t>(result)));
}

bool FitsMaxPath(const std::string& path) { return WideText(path).size() < MAX_PATH; }

// An item identifier list the shell allocated; freed with the task allocator.
class TItemIdList {
public:
    TItemIdList() = default;
    explicit TItemIdList(PIDLIST_ABSOLUTE list) : List_(list) {}
    TItemIdList(const TItemIdList&) = delete;
    TItemIdList& operator=(const TItemIdList&) = delete;
    ~TItemIdList() { CoTaskMemFree(List_); }

    PIDLIST_ABSOLUTE Get() const { return List_; }
    PIDLIST_ABSOLUTE* Receive() { return &List_; }

private:
    PIDLIST_ABSOLUTE List_ = nullptr;
};

// Selects the start folder once the dialog is up.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM /*parameter*/, LPARAM data) {
    if (message == BFFM_INITIALIZED && data != 0) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

// A BSTR for the call's duration.
class TBstr {
public:
    explicit TBstr(const std::wstring& text) : Text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    TBstr(const TBstr&) = delete;
    TBstr& operator=(const TBstr&) = delete;
    ~TBstr() { SysFreeString(Text_); }
    BSTR Get() const { return Text_; }

private:
    BSTR Text_;
};

VARIANT StringVariant(const TBstr& text) {
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_BSTR;
    variant.bstrVal = text.Get();
    return variant;
}

// The shell's automation object of the desktop window, reached from the shell windows' desktop
// entry: browser → its active view → the view's background object → its application.
bool DesktopShellDispatch(TComPtr<IShellDispatch2>& dispatch) {
    TComPtr<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows, windows.Put()))) {
        return false;
    }
    VARIANT location;
    VariantInit(&location);
    V_VT(&location) = VT_I4;
    V_I4(&location) = CSIDL_DESKTOP;
    VARIANT empty;
    VariantInit(&empty);
    LONG window = 0;
    TComPtr<IDispatch> desktop;
    if (windows->FindWindowSW(&location, &empty, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                              reinterpret_cast<IDispatch**>(desktop.Put())) != S_OK ||
        desktop.Get() == nullptr) {
        return false;
    }
    TComPtr<IServiceProvider> provider;
    TComPtr<IShellBrowser> browser;
    TComPtr<IShellView> view;
    TComPtr<IDispatch> background;
    TComPtr<IShellFolderViewDual> folderView;
    TComPtr<IDispatch> application;
    return SUCCEEDED(desktop->QueryInterface(IID_IServiceProvider, provider.Put())) &&
           SUCCEEDED(provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.Put())) &&
           SUCCEEDED(browser->QueryActiveShellView(reinterpret_cast<IShellView**>(view.Put()))) &&
           SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.Put())) &&
           SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, folderView.Put())) &&
           SUCCEEDED(folderView->get_Application(reinterpret_cast<IDispatch**>(application.Put()))) &&
           SUCCEEDED(application->QueryInterface(IID_IShellDispatch2, dispatch.Put()));
}

}  // namespace

TUserStart TWin32Shell::ExecuteAsUser(const std::string& file, const std::string& parameters,
                                      const std::string& folder) {
    // The desktop's shell reports nothing back (it shows its own error box): a file that is not
    // there is not handed to it.
    if (GetFileAttributesW(LongPath(file).c_str()) == INVALID_FILE_ATTRIBUTES) return TUserStart::Failed;
    TComPtr<IShellDispatch2> dispatch;
    if (DesktopShellDispatch(dispatch)) {
        const TBstr wideFile(WideText(file)), wideParameters(WideText(parameters)), wideFolder(WideText(folder)),
            verb(L"open");
        VARIANT show;
        VariantInit(&show);
        V_VT(&show) = VT_I4;
        V_I4(&show) = SW_SHOWNORMAL;
        if (SUCCEEDED(dispatch->ShellExecute(wideFile.Get(), StringVariant(wideParameters), StringVariant(wideFolder),
                                             StringVariant(verb), show))) {
            return TUserStart::AsUser;
        }
    }
    return Execute("open", file, parameters, folder, ShowCommand::ShowNormal) ? TUserStart::Directly
                                                                              : TUserStart::Failed;
}

bool TWin32Shell::Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                          const std::string& folder, int32_t showCommand) {
    const std::wstring wideVerb = WideText(verb), wideFile = WideText(file), wideParameters = WideText(parameters),
                       wideFolder = WideText(folder);
    const HINSTANCE result = ShellExecuteW(nullptr, OrNull(wideVerb), wideFile.c_str(), OrNull(wideParameters),
                                           OrNull(wideFolder), showCommand);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void TWin32Shell::ExecuteHidden(const std::string& file, const std::string& parameters, const std::string& folder) {
    const std::wstring wideFile = WideText(file), wideParameters = WideText(parameters), wideFolder = WideText(folder);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = nullptr;
    info.lpFile = wideFile.c_str();
    info.lpParameters = OrNull(wideParameters);
    info.lpDirectory = OrNull(wideFolder);
    info.nShow = SW_HIDE;
    if (!ShellExecuteExW(&info)) {
        DWORD code = GetLastError();
        if (code == ERROR_SUCCESS) code = ERROR_FILE_NOT_FOUND;
        throw Exception(SystemErrorMessage(code));
    }
    // The process runs on by itself; only our handle to it goes.
    TProcessHandle process(info.hProcess);
}

void TWin32Shell::SaveShellLink(const std::string& linkFile, const TShellLinkData& link) {
    // The shell's link object holds paths of up to MAX_PATH characters only (some versions drop a
    // longer target without a word): such links are written in the link format by hand.
    if (!FitsMaxPath(link.Target) || !FitsMaxPath(link.WorkingFolder) || !FitsMaxPath(linkFile)) {
        const std::string folder = ExtractFileDir(linkFile);
        if (folder.empty() || !Files_.FolderExists(folder)) {
            throw Exception(SystemErrorMessage(ERROR_PATH_NOT_FOUND) + " \"" + linkFile + "\"");
        }
        Files_.WriteFile(linkFile, WriteShellLinkFile(link));
        return;
    }
    TComPtr<IShellLinkW> shellLink;
    Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shellLink.Put()));
    const std::wstring target = WideText(link.Target);
    Check(shellLink->SetArguments(WideText(link.Arguments).c_str()));
    Check(shellLink->SetDescription(WideText(link.Description).c_str()));
    Check(shellLink->SetPath(target.c_str()));
    Check(shellLink->SetWorkingDirectory(WideText(link.WorkingFolder).c_str()));
    if (link.IconIndex >= 0) Check(shellLink->SetIconLocation(target.c_str(), link.IconIndex));
    TComPtr<IPersistFile> persistFile;
    Check(shellLink->QueryInterface(IID_IPersistFile, persistFile.Put()));
    Check(persistFile->Save(WideText(linkFile).c_str(), FALSE));
}

bool TWin32Shell::BrowseForFolder(const TFolderBrowseRequest& request, std::string& chosen) {
    const std::wstring prompt = WideText(request.Prompt), root = WideText(request.Root),
                       start = WideText(request.StartFolder);
    TItemIdList rootList;
    if (!root.empty()) Check(SHParseDisplayName(root.c_str(), nullptr, rootList.Receive(), 0, nullptr));
    BROWSEINFOW info{};
    info.hwndOwner = GetActiveWindow();
    info.pidlRoot = rootList.Get();
    info.lpszTitle = prompt.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    const DWORD attributes = start.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(start.c_str());
    const bool startExists = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.lParam = startExists ? reinterpret_cast<LPARAM>(start.c_str()) : 0;
    const TItemIdList picked(SHBrowseForFolderW(&info));
    if (picked.Get() == nullptr) return false;
    std::wstring path(32768, L'\0');
    if (!SHGetPathFromIDListEx(picked.Get(), path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT)) return false;
    path.resize(wcslen(path.c_str()));
    chosen = Utf8Text(path);
    return true;
}

}  // namespace marlowen
