// A non-blocking socket whose notifications (connected, data to read, closed, ...) arrive as
// window messages on the thread that created it and are handed to virtual OnXxx handlers.
// Include this before anything that includes <windows.h> (WinSock 2 must come first).
#pragma once

#include <winsock2.h>
#include <windows.h>

#include "CString.h"

// Starts Windows Sockets (version 1.1 or later) once for the program; FALSE when they cannot be
// used.
BOOL AfxSocketInit();

class CAsyncSocket {
 public:
  CAsyncSocket() = default;
  virtual ~CAsyncSocket();
  CAsyncSocket(const CAsyncSocket&) = delete;
  CAsyncSocket& operator=(const CAsyncSocket&) = delete;

  // Makes the socket, bound to the port (0: any) and the local address (NULL: any), with the
  // notifications asked for. FALSE with GetLastError() on failure.
  BOOL Create(UINT port = 0, int type = SOCK_STREAM,
              long events = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE, LPCSTR address = nullptr);
  // Starts connecting to a host (a dotted address or a name) and port. As the socket does not
  // wait, the usual answer is FALSE with WSAEWOULDBLOCK; OnConnect tells the outcome.
  BOOL Connect(LPCSTR host, UINT port);
  BOOL AsyncSelect(long events);
  // Bytes sent or received, or SOCKET_ERROR with GetLastError().
  virtual int Send(const void* data, int length, int flags = 0);
  virtual int Receive(void* buffer, int length, int flags = 0);
  BOOL ShutDown(int how = SD_SEND) { return shutdown(m_hSocket, how) != SOCKET_ERROR; }
  virtual void Close();
  static int GetLastError() { return WSAGetLastError(); }

  // Notifications; error is 0 or the WinSock error of the event.
  virtual void OnReceive(int error);
  virtual void OnSend(int error);
  virtual void OnOutOfBandData(int error);
  virtual void OnAccept(int error);
  virtual void OnConnect(int error);
  virtual void OnClose(int error);

  SOCKET m_hSocket = INVALID_SOCKET;
};
