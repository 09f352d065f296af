#include "platform/posix/curl_failure.h"

#include "platform/internet_api.h"

namespace ks {

namespace {

// WinINet's codes for failures that are not about certificates.
constexpr std::uint32_t kErrorInternetTimeout = 12002;
constexpr std::uint32_t kErrorInternetNameNotResolved = 12007;
constexpr std::uint32_t kErrorInternetCannotConnect = 12029;
constexpr std::uint32_t kErrorInternetConnectionAborted = 12030;

// OpenSSL's verification results (X509_V_ERR_*) that mean the chain leads
// to no trusted authority, and those of the certificate's dates.
bool isUntrustedChain(long verifyResult) {
  switch (verifyResult) {
    case 2:   // unable to get issuer certificate
    case 18:  // self-signed certificate
    case 19:  // self-signed certificate in the chain
    case 20:  // unable to get local issuer certificate
    case 21:  // unable to verify the first certificate
    case 27:  // certificate not trusted
    case 28:  // certificate rejected
      return true;
    default:
      return false;
  }
}

bool isOutOfDate(long verifyResult) {
  return verifyResult == 9 || verifyResult == 10;  // not yet valid, expired
}

// A certificate curl refused: OpenSSL's result tells the chain from the
// dates; with a sound chain it was curl's own check of the host name.
std::uint32_t certificateError(CURL* easy) {
  long verifyResult = 0;
  curl_easy_getinfo(easy, CURLINFO_SSL_VERIFYRESULT, &verifyResult);
  if (verifyResult == 0) return kErrorInternetSecCertCnInvalid;
  if (isUntrustedChain(verifyResult)) return kErrorInternetInvalidCa;
  if (isOutOfDate(verifyResult)) return kErrorInternetSecCertDateInvalid;
  if (verifyResult == 23) return kErrorInternetSecCertRevoked;
  return kErrorInternetSecCertErrors;
}

std::uint32_t errorOf(CURL* easy, CURLcode result) {
  switch (result) {
    case CURLE_PEER_FAILED_VERIFICATION:
      return certificateError(easy);
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
      return kErrorInternetSecureFailure;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return kErrorInternetNameNotResolved;
    case CURLE_COULDNT_CONNECT:
      return kErrorInternetCannotConnect;
    case CURLE_OPERATION_TIMEDOUT:
      return kErrorInternetTimeout;
    default:
      return kErrorInternetConnectionAborted;
  }
}

}  // namespace

CurlFailure describeCurlFailure(CURL* easy, CURLcode result, const char* errorText) {
  CurlFailure failure;
  failure.error = errorOf(easy, result);
  failure.description = errorText != nullptr && errorText[0] != '\0'
                            ? std::string(errorText)
                            : std::string(curl_easy_strerror(result));
  return failure;
}

}  // namespace ks
