// The names under which log records say which function wrote them: the
// qualified name of the writing function, file-local functions under
// "`anonymous-namespace'". Defined once here; the code and the tests use
// these names, never the text.
#ifndef BASE_LOG_TAGS_H_
#define BASE_LOG_TAGS_H_

namespace lite_installer::log_tag {

inline constexpr wchar_t kAutodetectBrandName[] = L"`anonymous-namespace'::AutodetectBrandName";
inline constexpr wchar_t kBrandPackageInfoClear[] = L"BrandPackageInfo::Clear";
inline constexpr wchar_t kBrandPackageInfoGetBrandInfo[] = L"BrandPackageInfo::GetBrandInfo";
inline constexpr wchar_t kBrandPackageInfoGetInfo[] = L"BrandPackageInfo::GetInfo";
inline constexpr wchar_t kBrandPackageInfoGetInfoFromResources[] = L"BrandPackageInfo::GetInfoFromResources";
inline constexpr wchar_t kBrandPackageInfoSetDefaults[] = L"BrandPackageInfo::SetDefaults";
inline constexpr wchar_t kCreateJsonFromDistribParams[] = L"`anonymous-namespace'::CreateJsonFromDistribParams";
inline constexpr wchar_t kCreateRunFolder[] = L"CreateRunFolder";
inline constexpr wchar_t kDistribInfoParamsLoad[] = L"DistribInfoParams::Load";
inline constexpr wchar_t kDownload[] = L"`anonymous-namespace'::Download";
inline constexpr wchar_t kDownloaderFinalizeDownload[] = L"lite_installer::Downloader::FinalizeDownload";
inline constexpr wchar_t kDownloaderOpenDownload[] = L"lite_installer::Downloader::OpenDownload";
inline constexpr wchar_t kDownloaderReadChunk[] = L"lite_installer::Downloader::ReadChunk";
inline constexpr wchar_t kHasEnoughDiskSpace[] = L"lite_installer::HasEnoughDiskSpace";
inline constexpr wchar_t kInstallerConstructor[] = L"Installer::Installer";
inline constexpr wchar_t kInstallerDeleteDownloadedPackage[] = L"Installer::DeleteDownloadedPackage";
inline constexpr wchar_t kInstallerDownloadModuleTo[] = L"Installer::DownloadModuleTo";
inline constexpr wchar_t kInstallerGetModule[] = L"Installer::GetModule";
inline constexpr wchar_t kInstallerInstallBrowser[] = L"Installer::InstallBrowser";
inline constexpr wchar_t kInstallerInstallerDestructor[] = L"Installer::~Installer";
inline constexpr wchar_t kInstallerReportInstallationFinished[] = L"Installer::ReportInstallationFinished";
inline constexpr wchar_t kInstallerReportStatisticsImpl[] = L"Installer::ReportStatisticsImpl";
inline constexpr wchar_t kInstallerReportStatus[] = L"Installer::ReportStatus";
inline constexpr wchar_t kInstallerRetryPackageDelete[] = L"Installer::RetryPackageDelete";
inline constexpr wchar_t kInstallerRunProcessAndWait[] = L"Installer::RunProcessAndWait";
inline constexpr wchar_t kInstallerSendClickStat[] = L"Installer::SendClickStat";
inline constexpr wchar_t kInstallerStartWorker[] = L"Installer::StartWorker";
inline constexpr wchar_t kKorvexTrustVerifierGetTrustJsonFromModule[] = L"KorvexTrustVerifier::GetTrustJsonFromModule";
inline constexpr wchar_t kKorvexTrustVerifierVerifyModule[] = L"KorvexTrustVerifier::VerifyModule";
inline constexpr wchar_t kMainWindowDoModal[] = L"lite_installer::MainWindow::DoModal";
inline constexpr wchar_t kMainWindowOnCloseWindow[] = L"lite_installer::MainWindow::OnCloseWindow";
inline constexpr wchar_t kMainWindowOnImportProgress[] = L"lite_installer::MainWindow::OnImportProgress";
inline constexpr wchar_t kMainWindowOnInstallClicked[] = L"lite_installer::MainWindow::OnInstallClicked";
inline constexpr wchar_t kMainWindowOnInstallProgress[] = L"lite_installer::MainWindow::OnInstallProgress";
inline constexpr wchar_t kMessageDialogDoModal[] = L"MessageDialog::DoModal";
inline constexpr wchar_t kOverrideInterfaceLanguage[] = L"lite_installer::OverrideInterfaceLanguage";
inline constexpr wchar_t kProcessSwitchesCurrent[] = L"ProcessSwitches::Current";
inline constexpr wchar_t kReadFilePathFromRegistry[] = L"lite_installer::ReadFilePathFromRegistry";
inline constexpr wchar_t kReadStringFromRegistry[] = L"lite_installer::ReadStringFromRegistry";
inline constexpr wchar_t kRemoveValueFromRegistry[] = L"lite_installer::RemoveValueFromRegistry";
inline constexpr wchar_t kReporterThreadDestructor[] = L"lite_installer::ReporterThread::~ReporterThread";
inline constexpr wchar_t kReporterThreadReporterThread[] = L"lite_installer::ReporterThread::ReporterThread";
inline constexpr wchar_t kResourceImageLoad[] = L"ResourceImage::Load";
inline constexpr wchar_t kSaveAndHoldFile[] = L"lite_installer::SaveAndHoldFile";
inline constexpr wchar_t kSignatureVerifierCleanup[] = L"SignatureVerifier::Cleanup";
inline constexpr wchar_t kSignatureVerifierHashData[] = L"SignatureVerifier::HashData";
inline constexpr wchar_t kSignatureVerifierImportPublicKey[] = L"SignatureVerifier::ImportPublicKey";
inline constexpr wchar_t kSignatureVerifierInitialize[] = L"SignatureVerifier::Initialize";
inline constexpr wchar_t kSignatureVerifierVerifySignature[] = L"SignatureVerifier::VerifySignature";
inline constexpr wchar_t kStoreValueInRegistry[] = L"lite_installer::StoreValueInRegistry";
inline constexpr wchar_t kWWinMain[] = L"wWinMain";

}  // namespace lite_installer::log_tag

#endif  // BASE_LOG_TAGS_H_
