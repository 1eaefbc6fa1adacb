#pragma once

// inet_pton, inet_ntop, ntohl and the address structures: Winsock's on Windows, where they need
// no WSAStartup.
#ifdef _WIN32
// Without wincrypt.h, whose macros take the names of OpenSSL's types.
#ifndef NOCRYPT
#define NOCRYPT
#endif
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#endif
