#include "Internet.h"

#include <string>
#include <vector>

#include "Module.h"

// ---- WININET.DLL, bound at first use ------------------------------------------------------------
// The library is loaded when the first internet object needs it rather than imported, so that a
// program built on these classes starts without WININET.DLL and can tell its user itself.

namespace {

struct WinInetApi {
  BOOL(WINAPI* HttpAddRequestHeadersA)(HINTERNET, LPCSTR, DWORD, DWORD);
  HINTERNET(WINAPI* HttpOpenRequestA)(HINTERNET, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR*, DWORD, DWORD_PTR);
  BOOL(WINAPI* HttpQueryInfoA)(HINTERNET, DWORD, LPVOID, LPDWORD, LPDWORD);
  BOOL(WINAPI* HttpSendRequestA)(HINTERNET, LPCSTR, DWORD, LPVOID, DWORD);
  BOOL(WINAPI* InternetCloseHandle)(HINTERNET);
  HINTERNET(WINAPI* InternetConnectA)(HINTERNET, LPCSTR, INTERNET_PORT, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR);
  HINTERNET(WINAPI* InternetOpenA)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD);
  HINTERNET(WINAPI* InternetOpenUrlA)(HINTERNET, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR);
  BOOL(WINAPI* InternetQueryDataAvailable)(HINTERNET, LPDWORD, DWORD, DWORD_PTR);
  BOOL(WINAPI* InternetQueryOptionA)(HINTERNET, DWORD, LPVOID, LPDWORD);
  BOOL(WINAPI* InternetReadFile)(HINTERNET, LPVOID, DWORD, LPDWORD);
  BOOL(WINAPI* InternetSetOptionA)(HINTERNET, DWORD, LPVOID, DWORD);
  BOOL(WINAPI* InternetWriteFile)(HINTERNET, LPCVOID, DWORD, LPDWORD);
};

HMODULE g_wininet = nullptr;

template <typename F>
void Bind(F& f, const char* name) {
  f = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(g_wininet, name)));
}

// The bound functions; throws a CInternetException (ERROR_MOD_NOT_FOUND or ERROR_PROC_NOT_FOUND)
// when the library or one of its functions is missing.
const WinInetApi& Api() {
  static WinInetApi api;
  static bool complete = false;
  if (!complete) {
    if (!g_wininet) g_wininet = ::LoadLibraryA("WININET.DLL");
    if (!g_wininet) throw CInternetException(ERROR_MOD_NOT_FOUND, 0);
    Bind(api.HttpAddRequestHeadersA, "HttpAddRequestHeadersA");
    Bind(api.HttpOpenRequestA, "HttpOpenRequestA");
    Bind(api.HttpQueryInfoA, "HttpQueryInfoA");
    Bind(api.HttpSendRequestA, "HttpSendRequestA");
    Bind(api.InternetCloseHandle, "InternetCloseHandle");
    Bind(api.InternetConnectA, "InternetConnectA");
    Bind(api.InternetOpenA, "InternetOpenA");
    Bind(api.InternetOpenUrlA, "InternetOpenUrlA");
    Bind(api.InternetQueryDataAvailable, "InternetQueryDataAvailable");
    Bind(api.InternetQueryOptionA, "InternetQueryOptionA");
    Bind(api.InternetReadFile, "InternetReadFile");
    Bind(api.InternetSetOptionA, "InternetSetOptionA");
    Bind(api.InternetWriteFile, "InternetWriteFile");
    const void* const* slot = reinterpret_cast<const void* const*>(&api);
    for (size_t i = 0; i < sizeof api / sizeof(void*); ++i)
      if (!slot[i]) throw CInternetException(ERROR_PROC_NOT_FOUND, 0);
    complete = true;
  }
  return api;
}

}  // namespace

// ---- exception --------------------------------------------------------------------------------

BOOL CInternetException::GetErrorMessage(LPSTR buffer, UINT size) const {
  if (!buffer || !size) return FALSE;
  CString text = GetErrorMessage();
  lstrcpynA(buffer, text, static_cast<int>(size));
  return TRUE;
}

CString CInternetException::GetErrorMessage() const {
  char buf[512] = {};
  DWORD n = 0;
  if (m_dwError >= INTERNET_ERROR_BASE && m_dwError <= INTERNET_ERROR_LAST)
    n = ::FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, ::GetModuleHandleA("wininet.dll"),
                         m_dwError, 0, buf, sizeof buf, nullptr);
  if (!n)
    n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, m_dwError, 0, buf,
                         sizeof buf, nullptr);
  CString text = n ? CString(buf, static_cast<int>(n)) : CString();
  text.TrimRight();
  if (text.IsEmpty()) text.Format("Internetfehler %lu", static_cast<unsigned long>(m_dwError));
  return text;
}

void AfxThrowInternetException(DWORD_PTR context, DWORD error) {
  if (!error) error = ::GetLastError();
  throw CInternetException(error, context);
}

// ---- files ------------------------------------------------------------------------------------

CInternetFile::CInternetFile(HINTERNET file, CInternetSession* session, LPCSTR url, DWORD_PTR context)
    : m_hFile(file), m_pSession(session), m_strURL(url ? url : ""), m_dwContext(context) {}

CInternetFile::~CInternetFile() { Close(); }

void CInternetFile::Close() {
  if (m_hFile) Api().InternetCloseHandle(m_hFile);
  m_hFile = nullptr;
}

UINT CInternetFile::Read(void* buf, UINT count) {
  if (!m_hFile) throw CInternetException(ERROR_INVALID_HANDLE, m_dwContext);
  DWORD got = 0;
  if (count && !Api().InternetReadFile(m_hFile, buf, count, &got)) AfxThrowInternetException(m_dwContext);
  return got;
}

void CInternetFile::Write(const void* buf, UINT count) {
  if (!m_hFile) throw CInternetException(ERROR_INVALID_HANDLE, m_dwContext);
  DWORD written = 0;
  if (!Api().InternetWriteFile(m_hFile, buf, count, &written) || written != count)
    AfxThrowInternetException(m_dwContext);
}

long CInternetFile::Seek(long, UINT) { throw CFileException(CFileException::generic); }

long CInternetFile::GetLength() const {
  DWORD avail = 0;
  if (!QueryDataAvailable(avail)) return 0;
  return static_cast<long>(avail);
}

BOOL CInternetFile::QueryDataAvailable(DWORD& available) const {
  available = 0;
  if (!m_hFile) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return Api().InternetQueryDataAvailable(m_hFile, &available, 0, 0);
}

BOOL CInternetFile::ReadString(CString& line) {
  std::string s;
  char ch = 0;
  bool any = false;
  while (Read(&ch, 1) == 1) {
    any = true;
    if (ch == '\n') break;
    s += ch;
  }
  if (!s.empty() && s.back() == '\r') s.pop_back();
  line = CString(s);
  return any;
}

namespace {
BOOL SetNumberOption(HINTERNET handle, DWORD option, DWORD value) {
  return handle && Api().InternetSetOptionA(handle, option, &value, sizeof value);
}
}  // namespace

BOOL CInternetFile::SetOption(DWORD option, DWORD value) { return SetNumberOption(m_hFile, option, value); }

CHttpFile::CHttpFile(HINTERNET file, CInternetSession* session, LPCSTR url, DWORD_PTR context, LPCSTR verb,
                     LPCSTR object)
    : CInternetFile(file, session, url, context), m_strVerb(verb ? verb : "GET"), m_strObject(object ? object : "/") {}

BOOL CHttpFile::AddRequestHeaders(LPCSTR headers, DWORD flags) {
  return Api().HttpAddRequestHeadersA(m_hFile, headers, static_cast<DWORD>(-1), flags);
}

BOOL CHttpFile::SendRequest(LPCSTR headers, DWORD headersLength, LPVOID optional, DWORD optionalLength) {
  if (!headersLength && headers) headersLength = static_cast<DWORD>(lstrlenA(headers));
  if (!Api().HttpSendRequestA(m_hFile, headers, headersLength, optional, optionalLength))
    AfxThrowInternetException(m_dwContext);
  return TRUE;
}

BOOL CHttpFile::QueryInfo(DWORD level, CString& value) const {
  std::vector<char> buf(1024);
  for (;;) {
    DWORD size = static_cast<DWORD>(buf.size());
    DWORD index = 0;
    if (Api().HttpQueryInfoA(m_hFile, level, buf.data(), &size, &index)) {
      value = CString(buf.data(), static_cast<int>(size));
      return TRUE;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= buf.size()) return FALSE;
    buf.resize(size + 1);
  }
}

BOOL CHttpFile::QueryInfo(DWORD level, DWORD& value) const {
  DWORD size = sizeof value;
  DWORD index = 0;
  return Api().HttpQueryInfoA(m_hFile, level | HTTP_QUERY_FLAG_NUMBER, &value, &size, &index);
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& status) const { return QueryInfo(HTTP_QUERY_STATUS_CODE, status); }

// ---- connections ------------------------------------------------------------------------------

CInternetConnection::CInternetConnection(CInternetSession* session, HINTERNET connection, LPCSTR server,
                                         INTERNET_PORT port, DWORD_PTR context)
    : m_pSession(session), m_hConnection(connection), m_strServer(server ? server : ""), m_nPort(port),
      m_dwContext(context) {}

CInternetConnection::~CInternetConnection() { Close(); }

void CInternetConnection::Close() {
  if (m_hConnection) Api().InternetCloseHandle(m_hConnection);
  m_hConnection = nullptr;
}

BOOL CInternetConnection::SetOption(DWORD option, DWORD value) { return SetNumberOption(m_hConnection, option, value); }

CHttpFile* CHttpConnection::OpenRequest(LPCSTR verb, LPCSTR object, LPCSTR referer, DWORD_PTR context,
                                        LPCSTR* acceptTypes, LPCSTR version, DWORD flags) {
  if (!object || !*object) object = "/";
  HINTERNET h = Api().HttpOpenRequestA(m_hConnection, verb, object, version, referer, acceptTypes, flags, context);
  if (!h) AfxThrowInternetException(context);
  CString url = CString("http://") + m_strServer;
  if (m_nPort != INTERNET_INVALID_PORT_NUMBER && m_nPort != INTERNET_DEFAULT_HTTP_PORT)
    url += CString::Formatted(":%u", static_cast<unsigned>(m_nPort));
  url += object[0] == '/' ? CString(object) : CString("/") + object;
  return new CHttpFile(h, m_pSession, url, context, verb, object);
}

CHttpFile* CHttpConnection::OpenRequest(int verb, LPCSTR object, LPCSTR referer, DWORD_PTR context,
                                        LPCSTR* acceptTypes, LPCSTR version, DWORD flags) {
  static const char* const kVerbs[] = {"POST", "GET", "HEAD", "PUT", "LINK", "DELETE", "UNLINK"};
  if (verb < 0 || verb > HTTP_VERB_UNLINK) throw CInternetException(ERROR_INVALID_PARAMETER, context);
  return OpenRequest(kVerbs[verb], object, referer, context, acceptTypes, version, flags);
}

// ---- session ----------------------------------------------------------------------------------

CInternetSession::CInternetSession(LPCSTR agent, DWORD_PTR context, DWORD accessType, LPCSTR proxy,
                                   LPCSTR proxyBypass, DWORD flags)
    : m_dwContext(context), m_strAgent(agent ? agent : AfxGetAppTitle()) {
  m_hSession = Api().InternetOpenA(m_strAgent, accessType, proxy, proxyBypass, flags);
  if (!m_hSession) AfxThrowInternetException(context);
}

CInternetSession::~CInternetSession() { Close(); }

void CInternetSession::Close() {
  if (m_hSession) Api().InternetCloseHandle(m_hSession);
  m_hSession = nullptr;
}

CInternetFile* CInternetSession::OpenURL(LPCSTR url, DWORD_PTR context, DWORD flags, LPCSTR headers,
                                         DWORD headersLength) {
  if (!m_hSession) throw CInternetException(ERROR_INVALID_HANDLE, context);
  if (!url) throw CInternetException(ERROR_INTERNET_INVALID_URL, context);
  if (headers && !headersLength) headersLength = static_cast<DWORD>(lstrlenA(headers));
  HINTERNET h = Api().InternetOpenUrlA(m_hSession, url, headers, headersLength, flags, context);
  if (!h) AfxThrowInternetException(context);
  if (CString(url).Left(7).CompareNoCase("http://") == 0 || CString(url).Left(8).CompareNoCase("https://") == 0) {
    CString u(url);
    int start = u.Find("//") + 2;
    int slash = u.Find('/', start);
    CString object = slash >= 0 ? u.Mid(slash) : CString("/");
    return new CHttpFile(h, this, url, context, "GET", object);
  }
  return new CInternetFile(h, this, url, context);
}

CHttpConnection* CInternetSession::GetHttpConnection(LPCSTR server, INTERNET_PORT port, LPCSTR user,
                                                     LPCSTR password) {
  if (!m_hSession) throw CInternetException(ERROR_INVALID_HANDLE, m_dwContext);
  HINTERNET h = Api().InternetConnectA(m_hSession, server, port, user, password, INTERNET_SERVICE_HTTP, 0, m_dwContext);
  if (!h) AfxThrowInternetException(m_dwContext);
  return new CHttpConnection(this, h, server, port, m_dwContext);
}

BOOL CInternetSession::SetOption(DWORD option, DWORD value) { return SetNumberOption(m_hSession, option, value); }

BOOL CInternetSession::QueryOption(DWORD option, DWORD& value) const {
  DWORD size = sizeof value;
  return Api().InternetQueryOptionA(m_hSession, option, &value, &size);
}
