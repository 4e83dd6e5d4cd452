// The WinINet request of the update check: see wininet_fetch.h.
#include "app/win32/wininet_fetch.h"

#include <windows.h>

#include <wininet.h>

#include <memory>
#include <utility>

namespace mv {
namespace {

constexpr char kAgent[] = "Mirrorvault";
// A server that accepts the connection and then says nothing would otherwise hold the
// check's thread for ever.
constexpr DWORD kConnectTimeoutMs = 30000;
constexpr DWORD kReceiveTimeoutMs = 30000;

struct InternetCloser {
  void operator()(void* handle) const { InternetCloseHandle(static_cast<HINTERNET>(handle)); }
};
using InternetHandle = std::unique_ptr<void, InternetCloser>;

bool SuccessStatus(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                      nullptr)) {
    return false;
  }
  return status >= 200 && status < 300;
}

}  // namespace

std::string FetchFirstBytes(const std::string& url, std::size_t limit) {
  const InternetHandle session(
      InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY, nullptr, nullptr, 0));
  if (!session) return std::string();
  // Set on the session, so that the request made from it has them from the start.
  for (const auto& [option, milliseconds] :
       {std::pair<DWORD, DWORD>{INTERNET_OPTION_CONNECT_TIMEOUT, kConnectTimeoutMs},
        {INTERNET_OPTION_SEND_TIMEOUT, kReceiveTimeoutMs},
        {INTERNET_OPTION_RECEIVE_TIMEOUT, kReceiveTimeoutMs}}) {
    DWORD value = milliseconds;
    InternetSetOptionA(session.get(), option, &value, sizeof value);
  }
  const InternetHandle request(InternetOpenUrlA(session.get(), url.c_str(), nullptr, 0, 0, 0));
  if (!request || !SuccessStatus(request.get())) return std::string();
  // One read: whatever did not arrive in it does not count.
  std::string reply(limit, '\0');
  DWORD received = 0;
  if (!InternetReadFile(request.get(), reply.data(), static_cast<DWORD>(limit), &received)) {
    return std::string();
  }
  reply.resize(received);
  return reply;
}

}  // namespace mv
