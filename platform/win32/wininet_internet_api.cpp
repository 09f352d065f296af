#include "platform/win32/wininet_internet_api.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>

#include "platform/win32/wide_text.h"

namespace ks {

namespace {

// The parts of a URL are held in buffers of this many characters.
constexpr DWORD kUrlPartChars = 1024;
constexpr DWORD kSilentServerMilliseconds = 60000;

HINTERNET native(InternetHandle handle) {
  return reinterpret_cast<HINTERNET>(handle);
}
InternetHandle portHandle(HINTERNET handle) {
  return reinterpret_cast<InternetHandle>(handle);
}

// WinINet's one status callback: the handle's context is our record, which
// names the core's callback and context.
void CALLBACK onStatus(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID info,
                       DWORD length) {
  const auto* record = reinterpret_cast<const WinInetInternetApi::HandleRecord*>(context);
  if (record && record->callback) {
    record->callback(portHandle(handle), record->context, status, info, length);
  }
}

// WinINet hears of the context only when the core gave one: without it
// WinINet sends no notifications, as for the core's own context 0.
DWORD_PTR contextFor(const WinInetInternetApi::HandleRecord* record) {
  return record->context ? reinterpret_cast<DWORD_PTR>(record) : 0;
}

// GetLastError of the last WinINet call that failed on this thread, taken
// at once: the status callbacks that run meanwhile may change it.
thread_local DWORD lastFailure = 0;

template <typename Result>
Result noteFailure(Result result) {
  if (!result) lastFailure = GetLastError();
  return result;
}

// WinINet's own text for one of its errors (its message table), without
// the line end.
std::string wininetText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
      GetModuleHandleW(L"wininet.dll"), error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide = length != 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
  if (text != nullptr) LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ')) {
    wide.pop_back();
  }
  return narrow(wide).value_or(std::string());
}

std::wstring orNothing(const std::optional<std::wstring>& text) {
  return text.value_or(L"");
}

DWORD queryLevel(HttpQuery query) {
  switch (query) {
    case HttpQuery::ContentLength:
      return HTTP_QUERY_CONTENT_LENGTH;
    case HttpQuery::ContentRange:
      return HTTP_QUERY_CONTENT_RANGE;
    case HttpQuery::TransferEncoding:
      return HTTP_QUERY_TRANSFER_ENCODING;
    case HttpQuery::ETag:
      return HTTP_QUERY_ETAG;
    case HttpQuery::LastModified:
      return HTTP_QUERY_LAST_MODIFIED;
    default:
      return HTTP_QUERY_STATUS_CODE;
  }
}

bool setTextOption(HINTERNET handle, DWORD option, const std::string& text) {
  std::wstring wide = widen(text).value_or(L"");
  return InternetSetOptionW(handle, option, wide.data(), static_cast<DWORD>(wide.size())) != 0;
}

}  // namespace

WinInetInternetApi::~WinInetInternetApi() = default;

WinInetInternetApi::HandleRecord* WinInetInternetApi::newRecord(InternetHandle parent,
                                                                void* context) {
  std::lock_guard lock(mutex_);
  auto record = std::make_unique<HandleRecord>();
  if (const auto found = byHandle_.find(parent); found != byHandle_.end()) {
    *record = *found->second;
  }
  record->context = context;
  records_.push_back(std::move(record));
  return records_.back().get();
}

WinInetInternetApi::HandleRecord* WinInetInternetApi::recordOf(InternetHandle handle) {
  std::lock_guard lock(mutex_);
  const auto found = byHandle_.find(handle);
  return found == byHandle_.end() ? nullptr : found->second;
}

void WinInetInternetApi::keep(InternetHandle handle, HandleRecord* record) {
  if (handle == kNullInternetHandle) return;
  std::lock_guard lock(mutex_);
  byHandle_[handle] = record;
}

bool WinInetInternetApi::crackUrl(const std::string& url, UrlComponents& parts) {
  const auto wide = widen(url);
  if (!wide) return false;
  wchar_t host[kUrlPartChars];
  wchar_t user[kUrlPartChars];
  wchar_t password[kUrlPartChars];
  wchar_t path[kUrlPartChars];
  URL_COMPONENTSW components{};
  components.dwStructSize = sizeof components;
  components.lpszHostName = host;
  components.dwHostNameLength = kUrlPartChars;
  components.lpszUserName = user;
  components.dwUserNameLength = kUrlPartChars;
  components.lpszPassword = password;
  components.dwPasswordLength = kUrlPartChars;
  components.lpszUrlPath = path;
  components.dwUrlPathLength = kUrlPartChars;
  if (!InternetCrackUrlW(wide->c_str(), 0, 0, &components)) return false;
  switch (components.nScheme) {
    case INTERNET_SCHEME_HTTP:
      parts.scheme = InternetScheme::Http;
      break;
    case INTERNET_SCHEME_HTTPS:
      parts.scheme = InternetScheme::Https;
      break;
    case INTERNET_SCHEME_FTP:
      parts.scheme = InternetScheme::Ftp;
      break;
    default:
      return false;
  }
  const auto text = [](const wchar_t* part, DWORD length) {
    return narrow(std::wstring_view(part, length)).value_or(std::string());
  };
  parts.hostName = text(host, components.dwHostNameLength);
  parts.userName = text(user, components.dwUserNameLength);
  parts.password = text(password, components.dwPasswordLength);
  parts.urlPath = text(path, components.dwUrlPathLength);
  parts.port = components.nPort;
  return true;
}

std::uint32_t WinInetInternetApi::attemptConnect() {
  return InternetAttemptConnect(0);
}

InternetHandle WinInetInternetApi::open(const std::string& agent, InternetAccess access,
                                        const std::string& proxy) {
  const std::wstring wideAgent = orNothing(widen(agent));
  const std::wstring wideProxy = orNothing(widen(proxy));
  const bool viaProxy = access == InternetAccess::Proxy;
  const HINTERNET session = InternetOpenW(
      wideAgent.c_str(), viaProxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_PRECONFIG,
      viaProxy ? wideProxy.c_str() : nullptr, nullptr, 0);
  // A server silent for a minute fails the transfer.
  DWORD timeout = kSilentServerMilliseconds;
  InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  InternetSetOptionW(session, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  HandleRecord* record = newRecord(kNullInternetHandle, nullptr);
  if (viaProxy) record->proxy = proxy;
  keep(portHandle(session), record);
  return portHandle(session);
}

InternetHandle WinInetInternetApi::connect(InternetHandle internet, const UrlComponents& server,
                                           InternetService service, void* context) {
  HandleRecord* record = newRecord(internet, context);
  record->server = server.hostName;
  const std::wstring host = orNothing(widen(server.hostName));
  const std::wstring user = orNothing(widen(server.userName));
  const std::wstring password = orNothing(widen(server.password));
  const HINTERNET connection = InternetConnectW(
      native(internet), host.c_str(), static_cast<INTERNET_PORT>(server.port),
      user.empty() ? nullptr : user.c_str(), password.empty() ? nullptr : password.c_str(),
      service == InternetService::Ftp ? INTERNET_SERVICE_FTP : INTERNET_SERVICE_HTTP, 0,
      contextFor(record));
  keep(portHandle(connection), record);
  return portHandle(connection);
}

InternetHandle WinInetInternetApi::ftpFindFirstFile(InternetHandle connection,
                                                    const std::string& path,
                                                    std::uint64_t& fileSize) {
  const auto widePath = widen(path);
  if (!widePath) return kNullInternetHandle;
  WIN32_FIND_DATAW found{};
  const HINTERNET find =
      FtpFindFirstFileW(native(connection), widePath->c_str(), &found, INTERNET_FLAG_RAW_DATA, 0);
  if (!find) return kNullInternetHandle;
  fileSize = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  keep(portHandle(find), newRecord(connection, nullptr));
  return portHandle(find);
}

InternetHandle WinInetInternetApi::openUrl(InternetHandle internet, const std::string& url,
                                           void* context) {
  const auto wideUrl = widen(url);
  if (!wideUrl) return kNullInternetHandle;
  HandleRecord* record = newRecord(internet, context);
  const HINTERNET data =
      noteFailure(InternetOpenUrlW(native(internet), wideUrl->c_str(), nullptr, 0,
                                   INTERNET_FLAG_DONT_CACHE, contextFor(record)));
  keep(portHandle(data), record);
  return portHandle(data);
}

// REST stays in force on the control connection until the RETR that
// FtpOpenFile sends. Servers refuse it in ASCII mode, which the listing of
// FtpFindFirstFile leaves behind, so binary mode is set first.
InternetHandle WinInetInternetApi::ftpOpenFile(InternetHandle connection, const std::string& path,
                                               std::uint64_t restartAt, void* context) {
  const auto widePath = widen(path);
  if (!widePath) return kNullInternetHandle;
  const std::wstring restart = L"REST " + std::to_wstring(restartAt);
  for (const wchar_t* command : {L"TYPE I", restart.c_str()}) {
    if (!noteFailure(FtpCommandW(native(connection), FALSE, FTP_TRANSFER_TYPE_BINARY, command, 0,
                                 nullptr))) {
      return kNullInternetHandle;
    }
  }
  HandleRecord* record = newRecord(connection, context);
  const HINTERNET file = noteFailure(
      FtpOpenFileW(native(connection), widePath->c_str(), GENERIC_READ,
                   FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD, contextFor(record)));
  keep(portHandle(file), record);
  return portHandle(file);
}

// Packages never come from (or go into) the cache: a package changed on the
// server is fetched again. A secure request checks the server's
// certificate; none of the INTERNET_FLAG_IGNORE_CERT_* flags is ever given.
InternetHandle WinInetInternetApi::httpOpenRequest(InternetHandle connection,
                                                   const std::string& object, bool secure,
                                                   void* context) {
  const auto wideObject = widen(object);
  if (!wideObject) return kNullInternetHandle;
  HandleRecord* record = newRecord(connection, context);
  const DWORD flags = INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_RELOAD |
                      INTERNET_FLAG_NO_CACHE_WRITE | (secure ? INTERNET_FLAG_SECURE : 0);
  const HINTERNET request = HttpOpenRequestW(native(connection), nullptr, wideObject->c_str(),
                                             nullptr, nullptr, nullptr, flags, contextFor(record));
  keep(portHandle(request), record);
  return portHandle(request);
}

bool WinInetInternetApi::httpSendRequest(InternetHandle request, const std::string& headers) {
  const std::wstring wideHeaders = orNothing(widen(headers));
  return noteFailure(HttpSendRequestW(native(request),
                                      wideHeaders.empty() ? nullptr : wideHeaders.c_str(),
                                      static_cast<DWORD>(wideHeaders.size()), nullptr, 0) != 0);
}

// The frontend asks (a dialog, or the unattended run's answer); the name and
// password go to the request as WinINet's options, and the next send
// carries them.
std::uint32_t WinInetInternetApi::errorDialog(InternetHandle request, std::uint32_t) {
  DWORD status = 0;
  DWORD bytes = sizeof status;
  if (!HttpQueryInfoW(native(request), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                      &bytes, nullptr) ||
      (status != HTTP_STATUS_DENIED && status != HTTP_STATUS_PROXY_AUTH_REQ)) {
    return kErrorSuccess;
  }
  const HandleRecord* record = recordOf(request);
  const bool proxy = status == HTTP_STATUS_PROXY_AUTH_REQ;
  PasswordRequest question;
  question.server = record ? (proxy ? record->proxy : record->server) : std::string();
  question.proxy = proxy;
  std::string userName;
  std::string password;
  if (!dialogs_.askPassword(question, userName, password)) return kErrorCancelled;
  const HINTERNET handle = native(request);
  setTextOption(handle, proxy ? INTERNET_OPTION_PROXY_USERNAME : INTERNET_OPTION_USERNAME,
                userName);
  setTextOption(handle, proxy ? INTERNET_OPTION_PROXY_PASSWORD : INTERNET_OPTION_PASSWORD,
                password);
  return kErrorInternetForceRetry;
}

// bufferBytes counts characters with the terminating zero, as the text's
// byte buffers did.
bool WinInetInternetApi::httpQueryInfo(InternetHandle request, HttpQuery query, std::string& value,
                                       std::size_t bufferBytes) {
  std::wstring buffer(bufferBytes, L'\0');
  DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  const DWORD level = queryLevel(query);
  if (bufferBytes == 0 || !HttpQueryInfoW(native(request), level, buffer.data(), &bytes, nullptr)) {
    return false;
  }
  const auto text = narrow(std::wstring_view(buffer.data(), bytes / sizeof(wchar_t)));
  if (!text || text->size() >= bufferBytes) return false;
  value = *text;
  return true;
}

// What is there (at most `wanted` bytes) once something is: the caller hears
// of a slow server at every piece. No data available at all is the end.
bool WinInetInternetApi::readFile(InternetHandle data, char* buffer, std::uint32_t wanted,
                                  std::uint32_t& got) {
  got = 0;
  DWORD available = 0;
  if (!noteFailure(InternetQueryDataAvailable(native(data), &available, 0, 0))) return false;
  if (available == 0 || wanted == 0) return true;
  DWORD read = 0;
  if (!noteFailure(
          InternetReadFile(native(data), buffer, std::min<DWORD>(available, wanted), &read))) {
    return false;
  }
  got = read;
  return true;
}

bool WinInetInternetApi::closeHandle(InternetHandle handle) {
  {
    std::lock_guard lock(mutex_);
    auto found = byHandle_.find(handle);
    if (found != byHandle_.end() && found->second->aborted) {
      byHandle_.erase(found);
      return true;
    }
  }
  const bool closed = InternetCloseHandle(native(handle)) != 0;
  std::lock_guard lock(mutex_);
  byHandle_.erase(handle);
  return closed;
}

// WinINet's own way to cancel a blocking call is to close its handle. The
// lock is not held while WinINet closes it: its closing notification comes
// through onStatus, which looks up records too.
void WinInetInternetApi::abortTransfer(InternetHandle handle) {
  {
    std::lock_guard lock(mutex_);
    auto found = byHandle_.find(handle);
    if (found == byHandle_.end() || found->second->aborted) return;
    found->second->aborted = true;
  }
  InternetCloseHandle(native(handle));
}

std::uint32_t WinInetInternetApi::lastError(std::string& description) {
  description = wininetText(lastFailure);
  return lastFailure;
}

void WinInetInternetApi::setStatusCallback(InternetHandle handle, InternetStatusCallback callback) {
  HandleRecord* record = recordOf(handle);
  if (!record) return;
  record->callback = callback;
  InternetSetStatusCallbackW(native(handle), callback ? onStatus : nullptr);
}

}  // namespace ks
