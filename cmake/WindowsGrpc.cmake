# The gRPC for Windows that scripts/build-grpc-windows makes (static gRPC, protobuf, OpenSSL,
# c-ares, Abseil, RE2, zlib), found at its fixed place unless KQVDR_GRPC_WINDOWS names another.
# Code is generated with the host's protoc and grpc_cpp_plugin, the same versions.
set(KQVDR_GRPC_WINDOWS "$ENV{KQVDR_GRPC_WINDOWS}" CACHE PATH "gRPC built for Windows")
if(NOT KQVDR_GRPC_WINDOWS)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsCache.cmake)
    kqvdr_windows_cache(cache grpc-1.51-mingw-w64 KQVDR_GRPC_WINDOWS_CACHE)
    set(KQVDR_GRPC_WINDOWS ${cache}/grpc CACHE PATH "gRPC built for Windows" FORCE)
endif()
if(NOT EXISTS ${KQVDR_GRPC_WINDOWS}/lib/cmake/grpc/gRPCConfig.cmake)
    message(FATAL_ERROR "No gRPC for Windows in ${KQVDR_GRPC_WINDOWS}: run "
                        "scripts/build-grpc-windows")
endif()
list(APPEND CMAKE_FIND_ROOT_PATH ${KQVDR_GRPC_WINDOWS})
list(APPEND CMAKE_PREFIX_PATH ${KQVDR_GRPC_WINDOWS})
set(OPENSSL_ROOT_DIR ${KQVDR_GRPC_WINDOWS} CACHE PATH "OpenSSL built for Windows")
set(OPENSSL_USE_STATIC_LIBS TRUE)
set(ZLIB_USE_STATIC_LIBS TRUE)
