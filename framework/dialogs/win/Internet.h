// HTTP over WinInet: a session (the root handle with the agent string), connections, and files
// that are read like files. Failures throw CInternetException with WinInet's error code; callers
// catch it around their network work.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "CException.h"
#include "CFile.h"
#include "CString.h"

class CInternetException : public CException {
 public:
  explicit CInternetException(DWORD error, DWORD_PTR context = 0) : m_dwError(error), m_dwContext(context) {}
  // WinInet's own text for the code when it has one, else "Internetfehler <code>".
  CString GetErrorMessage() const override;
  BOOL GetErrorMessage(LPSTR buffer, UINT size) const;

  DWORD m_dwError;
  DWORD_PTR m_dwContext;
};

// Throws CInternetException with the code, or with GetLastError() when the code is 0.
[[noreturn]] void AfxThrowInternetException(DWORD_PTR context, DWORD error = 0);

class CInternetSession;

// A file-like object over an open WinInet request or URL. Closed (and the handle freed) by Close
// or the destructor.
class CInternetFile : public CFile {
 public:
  CInternetFile(HINTERNET file, CInternetSession* session, LPCSTR url, DWORD_PTR context);
  ~CInternetFile() override;

  // Opening by path does not apply; files come from the session or a connection.
  BOOL Open(const char*, UINT) override { return FALSE; }
  void Close() override;
  // Bytes read (0 at the end); throws CInternetException when the read fails.
  UINT Read(void* buf, UINT count) override;
  void Write(const void* buf, UINT count) override;
  // Internet files are read in sequence; seeking is refused with CFileException.
  long Seek(long offset, UINT from) override;
  // The number of bytes that can be read now; waits for the next piece (within the receive time
  // limit) when none has arrived, and reads 0 when that wait fails or at the end.
  long GetLength() const override;
  // The same with the failure told apart: FALSE when the wait for the next piece failed (the
  // receive time limit ran out: ERROR_INTERNET_TIMEOUT), with GetLastError's code; TRUE with
  // `available` 0 at the end of the data.
  BOOL QueryDataAvailable(DWORD& available) const;
  void Flush() override {}

  // A line up to CR LF or LF (removed); FALSE at the end.
  BOOL ReadString(CString& line);
  // A number option of the request (time limits in ms: INTERNET_OPTION_CONNECT_TIMEOUT,
  // INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT); FALSE when WinInet refuses it.
  BOOL SetOption(DWORD option, DWORD value);
  CString GetFileURL() const { return m_strURL; }
  operator HINTERNET() const { return m_hFile; }

 protected:
  HINTERNET m_hFile;
  CInternetSession* m_pSession;
  CString m_strURL;
  DWORD_PTR m_dwContext;
};

class CHttpFile : public CInternetFile {
 public:
  CHttpFile(HINTERNET file, CInternetSession* session, LPCSTR url, DWORD_PTR context, LPCSTR verb = "GET",
            LPCSTR object = "/");

  BOOL AddRequestHeaders(LPCSTR headers, DWORD flags = HTTP_ADDREQ_FLAG_ADD_IF_NEW);
  // Sends the request; throws CInternetException when it cannot be sent.
  BOOL SendRequest(LPCSTR headers = nullptr, DWORD headersLength = 0, LPVOID optional = nullptr,
                   DWORD optionalLength = 0);
  BOOL QueryInfo(DWORD level, CString& value) const;
  BOOL QueryInfo(DWORD level, DWORD& value) const;
  // The response's status code (200, 404, ...).
  BOOL QueryInfoStatusCode(DWORD& status) const;
  CString GetVerb() const { return m_strVerb; }
  CString GetObject() const { return m_strObject; }

 private:
  CString m_strVerb;
  CString m_strObject;
};

class CInternetConnection {
 public:
  CInternetConnection(CInternetSession* session, HINTERNET connection, LPCSTR server, INTERNET_PORT port,
                      DWORD_PTR context);
  virtual ~CInternetConnection();
  CInternetConnection(const CInternetConnection&) = delete;
  CInternetConnection& operator=(const CInternetConnection&) = delete;
  virtual void Close();
  // A number option of the connection, inherited by its requests (the time limits in ms).
  BOOL SetOption(DWORD option, DWORD value);
  CString GetServerName() const { return m_strServer; }
  CInternetSession* GetSession() const { return m_pSession; }
  operator HINTERNET() const { return m_hConnection; }

 protected:
  CInternetSession* m_pSession;
  HINTERNET m_hConnection;
  CString m_strServer;
  INTERNET_PORT m_nPort;
  DWORD_PTR m_dwContext;
};

class CHttpConnection : public CInternetConnection {
 public:
  enum { HTTP_VERB_POST = 0, HTTP_VERB_GET = 1, HTTP_VERB_HEAD = 2, HTTP_VERB_PUT = 3, HTTP_VERB_LINK = 4,
         HTTP_VERB_DELETE = 5, HTTP_VERB_UNLINK = 6 };
  using CInternetConnection::CInternetConnection;

  // A request to send with SendRequest; the caller deletes it. Throws CInternetException.
  CHttpFile* OpenRequest(LPCSTR verb, LPCSTR object, LPCSTR referer = nullptr, DWORD_PTR context = 1,
                         LPCSTR* acceptTypes = nullptr, LPCSTR version = nullptr,
                         DWORD flags = INTERNET_FLAG_EXISTING_CONNECT);
  CHttpFile* OpenRequest(int verb, LPCSTR object, LPCSTR referer = nullptr, DWORD_PTR context = 1,
                         LPCSTR* acceptTypes = nullptr, LPCSTR version = nullptr,
                         DWORD flags = INTERNET_FLAG_EXISTING_CONNECT);
};

class CInternetSession {
 public:
  // Opens WinInet with the agent string (the application's title when NULL); throws
  // CInternetException when WinInet cannot be opened.
  explicit CInternetSession(LPCSTR agent = nullptr, DWORD_PTR context = 1,
                            DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG, LPCSTR proxy = nullptr,
                            LPCSTR proxyBypass = nullptr, DWORD flags = 0);
  virtual ~CInternetSession();
  CInternetSession(const CInternetSession&) = delete;
  CInternetSession& operator=(const CInternetSession&) = delete;

  void Close();
  // Opens an http:// (CHttpFile, request already sent) or other WinInet URL; the caller deletes
  // the file. Throws CInternetException.
  CInternetFile* OpenURL(LPCSTR url, DWORD_PTR context = 1, DWORD flags = INTERNET_FLAG_TRANSFER_ASCII,
                         LPCSTR headers = nullptr, DWORD headersLength = 0);
  // The caller deletes the connection. Throws CInternetException.
  CHttpConnection* GetHttpConnection(LPCSTR server, INTERNET_PORT port = INTERNET_INVALID_PORT_NUMBER,
                                     LPCSTR user = nullptr, LPCSTR password = nullptr);
  BOOL SetOption(DWORD option, DWORD value);
  BOOL QueryOption(DWORD option, DWORD& value) const;
  DWORD_PTR GetContext() const { return m_dwContext; }
  CString GetAgent() const { return m_strAgent; }
  operator HINTERNET() const { return m_hSession; }

 private:
  HINTERNET m_hSession = nullptr;
  DWORD_PTR m_dwContext;
  CString m_strAgent;
};
