#pragma once
// An HTTP/FTP client session in the shape of WinINet: handles for the
// session, a connection, a request or an opened URL, each carrying a context
// value and, once installed, a status callback that hears what happens on it.
// A handle derived from one that has a callback inherits the callback (and
// announces itself with kInternetStatusHandleCreated). Every operation runs
// synchronously on the calling thread, and so do the callbacks.

#include <cstddef>
#include <cstdint>
#include <string>

namespace ks {

// HTTP redirects are followed by the client itself (WinINet does so), but
// only to http:// and https:// URLs, and never from https:// to http://; a
// redirect anywhere else ends the send with the redirect answer, which is
// not the file.
//
// https:// servers are always checked: the certificate must lead to an
// authority the system trusts (or the one the client was given) and name
// the host; a server that fails the check fails the send, and lastError
// says why. Nothing ever lets such a server through.

// A handle of this interface; kNullInternetHandle is no handle.
using InternetHandle = std::uintptr_t;
inline constexpr InternetHandle kNullInternetHandle = 0;

// Status notifications (WinINet's INTERNET_STATUS_* values).
inline constexpr std::uint32_t kInternetStatusResolvingName = 10;
inline constexpr std::uint32_t kInternetStatusNameResolved = 11;
inline constexpr std::uint32_t kInternetStatusConnectingToServer = 20;
inline constexpr std::uint32_t kInternetStatusConnectedToServer = 21;
inline constexpr std::uint32_t kInternetStatusSendingRequest = 30;
inline constexpr std::uint32_t kInternetStatusRequestSent = 31;
inline constexpr std::uint32_t kInternetStatusReceivingResponse = 40;
inline constexpr std::uint32_t kInternetStatusResponseReceived = 41;
inline constexpr std::uint32_t kInternetStatusClosingConnection = 50;
inline constexpr std::uint32_t kInternetStatusConnectionClosed = 51;
inline constexpr std::uint32_t kInternetStatusHandleCreated = 60;
inline constexpr std::uint32_t kInternetStatusHandleClosing = 70;
inline constexpr std::uint32_t kInternetStatusRequestComplete = 100;
inline constexpr std::uint32_t kInternetStatusRedirect = 110;
inline constexpr std::uint32_t kInternetStatusIntermediateResponse = 120;
inline constexpr std::uint32_t kInternetStatusStateChange = 200;

// Results of errorDialog (the system error codes WinINet uses).
inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorCancelled = 1223;
inline constexpr std::uint32_t kErrorInternetForceRetry = 12032;

// What lastError reports for an https:// server whose certificate (or
// secure channel) was refused: WinINet's ERROR_INTERNET_SEC_* codes.
inline constexpr std::uint32_t kErrorInternetSecCertDateInvalid = 12037;
inline constexpr std::uint32_t kErrorInternetSecCertCnInvalid = 12038;
inline constexpr std::uint32_t kErrorInternetInvalidCa = 12045;
inline constexpr std::uint32_t kErrorInternetSecCertErrors = 12055;
inline constexpr std::uint32_t kErrorInternetSecCertNoRev = 12056;
inline constexpr std::uint32_t kErrorInternetSecCertRevFailed = 12057;
inline constexpr std::uint32_t kErrorInternetSecInvalidCert = 12169;
inline constexpr std::uint32_t kErrorInternetSecCertRevoked = 12170;
inline constexpr std::uint32_t kErrorInternetSecureFailure = 12175;

// INTERNET_STATUS_CALLBACK: handle, the handle's context, status, status
// information and its length.
using InternetStatusCallback = void (*)(InternetHandle handle, void* context, std::uint32_t status,
                                        const void* info, std::uint32_t infoLength);

enum class InternetScheme { Unknown, Http, Https, Ftp };

// The parts of a URL that InternetCrackUrl hands out.
struct UrlComponents {
  std::string hostName;
  std::string userName;
  std::string password;
  std::string urlPath;
  int port = 0;  // the URL's port, or the scheme's default
  InternetScheme scheme = InternetScheme::Unknown;
};

enum class InternetAccess {
  Preconfig,  // the system's own settings
  Proxy,      // the named proxy for every protocol, no bypass list
};

enum class InternetService { Ftp, Http };

// The size ftpFindFirstFile gives when the server does not say it.
inline constexpr std::uint64_t kUnknownFileSize = UINT64_MAX;

// What HttpQueryInfo is asked for.
enum class HttpQuery {
  ContentLength,
  StatusCode,
  ContentRange,
  TransferEncoding,
  ETag,
  LastModified
};

class InternetApi {
 public:
  virtual ~InternetApi() = default;

  // InternetCrackUrl; false when the text is not a URL this client knows.
  virtual bool crackUrl(const std::string& url, UrlComponents& parts) = 0;
  // InternetAttemptConnect; 0 when the network can be used.
  virtual std::uint32_t attemptConnect() = 0;
  // InternetOpen; proxy names "host:port" for InternetAccess::Proxy.
  virtual InternetHandle open(const std::string& agent, InternetAccess access,
                              const std::string& proxy) = 0;
  // InternetConnect to host and port with the given credentials.
  virtual InternetHandle connect(InternetHandle internet, const UrlComponents& server,
                                 InternetService service, void* context) = 0;
  // FtpFindFirstFile (raw data, no cache); the size of the found entry, or
  // kUnknownFileSize when the server does not tell it (then whether the file
  // exists shows only when it is fetched).
  virtual InternetHandle ftpFindFirstFile(InternetHandle connection, const std::string& path,
                                          std::uint64_t& fileSize) = 0;
  // InternetOpenUrl for reading, not cached; FTP data connections in active mode.
  virtual InternetHandle openUrl(InternetHandle internet, const std::string& url,
                                 void* context) = 0;
  // FtpCommand "REST restartAt" on the connection, then FtpOpenFile of path
  // for reading in binary (active mode): the data begins at byte restartAt
  // of the file. Null when the server refuses to restart there or to send
  // the file.
  virtual InternetHandle ftpOpenFile(InternetHandle connection, const std::string& path,
                                     std::uint64_t restartAt, void* context) = 0;
  // HttpOpenRequest: GET of the object, keeping the connection alive;
  // secure (INTERNET_FLAG_SECURE) speaks https.
  virtual InternetHandle httpOpenRequest(InternetHandle connection, const std::string& object,
                                         bool secure, void* context) = 0;
  // HttpSendRequest with extra header lines (each ended by "\r\n"; empty
  // for none) and no body. False when no answer came (lastError says why).
  virtual bool httpSendRequest(InternetHandle request, const std::string& headers) = 0;
  // InternetErrorDlg filtering for errors: for a 401 or 407 answer asks the
  // user for a name and password and returns kErrorInternetForceRetry when
  // they were given (the next send carries them), kErrorCancelled when the
  // user declined; kErrorSuccess when there was nothing to ask.
  virtual std::uint32_t errorDialog(InternetHandle request, std::uint32_t error) = 0;
  // HttpQueryInfo of the final answer as text; false when it is missing or
  // does not fit into bufferBytes (counting the terminating zero).
  virtual bool httpQueryInfo(InternetHandle request, HttpQuery query, std::string& value,
                             std::size_t bufferBytes) = 0;
  // InternetReadFile: waits until some data is there and hands over at most
  // `wanted` bytes of it (WinINet: InternetQueryDataAvailable, then a read of
  // what is available), so the caller hears of a slow server at least once
  // per received piece; `got` is 0 only at the end of the data. A silent
  // server (nothing for a minute) fails the read. False when the transfer
  // failed.
  virtual bool readFile(InternetHandle data, char* buffer, std::uint32_t wanted,
                        std::uint32_t& got) = 0;
  // InternetCloseHandle.
  virtual bool closeHandle(InternetHandle handle) = 0;
  // InternetSetStatusCallback.
  virtual void setStatusCallback(InternetHandle handle, InternetStatusCallback callback) = 0;
  // Breaks off the transfer of a handle from any thread while another thread
  // works on it: a send, find or read waiting on the network, and every later
  // one, fails soon. The handle stays open until its owner closes it (never
  // at the same time as this call).
  virtual void abortTransfer(InternetHandle handle) = 0;
  // GetLastError after a call of this interface failed on this thread, and
  // the library's own words for it ("" when it has none).
  virtual std::uint32_t lastError(std::string& description) = 0;
};

}  // namespace ks
