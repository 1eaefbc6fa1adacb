#include "OwnSockets.h"

#include "LoopbackSockets.h"

#include <algorithm>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kqvdr::remote {
namespace {

using namespace std::chrono_literals;
using test::LoopbackSocket;

bool underWine() {
#ifdef _WIN32
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

class OwnSocketsTest : public ::testing::Test {
protected:
#ifdef _WIN32
    static void SetUpTestSuite() {
        WSADATA data{};
        ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &data), 0);
    }
    static void TearDownTestSuite() {
        ::WSACleanup();
    }
#endif
};

const OwnSocket* connectionTo(const std::vector<OwnSocket>& sockets, const std::string& peer) {
    const auto found = std::find_if(sockets.begin(), sockets.end(), [&](const OwnSocket& s) {
        return !s.listening && s.peer == peer;
    });
    return found == sockets.end() ? nullptr : &*found;
}

// The connection's counter once it has reached `least`, or its last reading.
std::optional<std::uint64_t> receivedOnce(OwnSockets& own, std::uint64_t id, std::uint64_t least) {
    std::optional<std::uint64_t> last;
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (const OwnSocket& socket : own.list(true)) {
            if (socket.id == id) {
                last = socket.received;
            }
        }
        if (!last || *last >= least) {
            return last;
        }
        std::this_thread::sleep_for(20ms);
    }
    return last;
}

TEST_F(OwnSocketsTest, FindsTheListenerAndItsConnectionOnThePortWithThePeerAndNothingElse) {
    const struct {
        const char* listenAt;
        const char* client;
        const char* peer;
    } cases[] = {
        {"127.0.0.1", "127.0.0.1", "127.0.0.1"},
        {"::", "127.0.0.1", "127.0.0.1"}, // an IPv4 client of an IPv6 listener counts as IPv4
        {"::1", "::1", "::1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.listenAt);
        const LoopbackSocket listener = LoopbackSocket::listenOn(c.listenAt);
        ASSERT_TRUE(listener.valid());
        const LoopbackSocket client = LoopbackSocket::connectTo(c.client, listener.port());
        ASSERT_TRUE(client.valid());
        const LoopbackSocket accepted = listener.accept();
        ASSERT_TRUE(accepted.valid());
        // Another server's port, with a connection of its own.
        const LoopbackSocket other = LoopbackSocket::listenOn("127.0.0.1");
        const LoopbackSocket otherClient = LoopbackSocket::connectTo("127.0.0.1", other.port());
        const LoopbackSocket otherAccepted = other.accept();
        ASSERT_TRUE(otherAccepted.valid());

        OwnSockets own(listener.port());
        const std::vector<OwnSocket> sockets = own.list(false);
        ASSERT_EQ(sockets.size(), 2u) << "the listener and the accepted connection, not the "
                                         "client's own end nor another port's sockets";
        const auto listening = std::count_if(sockets.begin(), sockets.end(),
                                             [](const OwnSocket& s) { return s.listening; });
        EXPECT_EQ(listening, 1);
        const OwnSocket* connection = connectionTo(sockets, c.peer);
        ASSERT_NE(connection, nullptr);
        EXPECT_NE(sockets[0].id, sockets[1].id);
        EXPECT_FALSE(connection->received) << "counters only when asked for";
    }
}

TEST_F(OwnSocketsTest, AConnectionKeepsItsIdAcrossLooksAndALaterOneGetsALargerId) {
    const LoopbackSocket listener = LoopbackSocket::listenOn("127.0.0.1");
    const LoopbackSocket first = LoopbackSocket::connectTo("127.0.0.1", listener.port());
    const LoopbackSocket firstAccepted = listener.accept();
    OwnSockets own(listener.port());
    const std::vector<OwnSocket> firstLook = own.list(false);
    const OwnSocket* before = connectionTo(firstLook, "127.0.0.1");
    ASSERT_NE(before, nullptr);
    const std::uint64_t firstId = before->id;

    const LoopbackSocket second = LoopbackSocket::connectTo("127.0.0.1", listener.port());
    const LoopbackSocket secondAccepted = listener.accept();
    ASSERT_TRUE(secondAccepted.valid());
    std::vector<std::uint64_t> ids;
    for (const OwnSocket& socket : own.list(false)) {
        if (!socket.listening) {
            ids.push_back(socket.id);
        }
    }
    std::sort(ids.begin(), ids.end());
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(ids[0], firstId);
    EXPECT_GT(ids[1], firstId);
}

TEST_F(OwnSocketsTest, BytesReceivedGrowWithWhatThePeerSends) {
    const LoopbackSocket listener = LoopbackSocket::listenOn("127.0.0.1");
    const LoopbackSocket client = LoopbackSocket::connectTo("127.0.0.1", listener.port());
    const LoopbackSocket accepted = listener.accept();
    OwnSockets own(listener.port());
    const std::vector<OwnSocket> sockets = own.list(true);
    const OwnSocket* connection = connectionTo(sockets, "127.0.0.1");
    ASSERT_NE(connection, nullptr);
    const std::uint64_t id = connection->id;
    const std::optional<std::uint64_t> before = connection->received;
    if (underWine()) {
        // Wine has no counter (SIO_TCP_INFO): nothing is reported rather than a number that
        // never grows.
        ASSERT_TRUE(client.send(5000));
        EXPECT_FALSE(receivedOnce(own, id, 1));
        EXPECT_FALSE(own.countsReceived());
        return;
    }
    EXPECT_TRUE(own.countsReceived());
    ASSERT_TRUE(before);
    // Unread by the program: the counter is the connection's, not the reader's.
    ASSERT_TRUE(client.send(5000));
    const auto after = receivedOnce(own, id, *before + 5000);
    ASSERT_TRUE(after);
    EXPECT_EQ(*after, *before + 5000);
    ASSERT_TRUE(client.send(70000));
    EXPECT_EQ(receivedOnce(own, id, *before + 75000), *before + 75000);
}

TEST_F(OwnSocketsTest, ACutConnectionEndsForItsPeerWhileOthersStay) {
    const LoopbackSocket listener = LoopbackSocket::listenOn("::");
    const LoopbackSocket cutClient = LoopbackSocket::connectTo("127.0.0.1", listener.port());
    const LoopbackSocket cutAccepted = listener.accept();
    const LoopbackSocket keptClient = LoopbackSocket::connectTo("::1", listener.port());
    const LoopbackSocket keptAccepted = listener.accept();
    ASSERT_TRUE(keptAccepted.valid());
    // Queued, unread: a flood's calls waiting for the program.
    ASSERT_TRUE(cutClient.send(20000));
    std::this_thread::sleep_for(50ms);

    OwnSockets own(listener.port());
    const std::vector<OwnSocket> sockets = own.list(true);
    const OwnSocket* connection = connectionTo(sockets, "127.0.0.1");
    ASSERT_NE(connection, nullptr);
    EXPECT_TRUE(own.cut(connection->id));
    EXPECT_TRUE(cutClient.endsWithin(2s));
    EXPECT_FALSE(keptClient.endsWithin(300ms));
    ASSERT_TRUE(keptClient.send(10));
    EXPECT_FALSE(keptClient.endsWithin(300ms)) << "the other connection still carries data";
}

TEST_F(OwnSocketsTest, OnlyAConnectionStillTheSocketListedIsCut) {
    enum class Stale { CutAlready, Listener, NeverListed, ClosedAndReplaced };
    const struct {
        const char* what;
        Stale stale;
    } cases[] = {
        {"a connection cut already", Stale::CutAlready},
        {"the listener", Stale::Listener},
        {"an id no list showed", Stale::NeverListed},
        {"a connection closed, its descriptor given to a new one", Stale::ClosedAndReplaced},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const LoopbackSocket listener = LoopbackSocket::listenOn("127.0.0.1");
        const LoopbackSocket client = LoopbackSocket::connectTo("127.0.0.1", listener.port());
        LoopbackSocket accepted = listener.accept();
        OwnSockets own(listener.port());
        const std::vector<OwnSocket> sockets = own.list(false);
        const OwnSocket* connection = connectionTo(sockets, "127.0.0.1");
        ASSERT_NE(connection, nullptr);
        std::uint64_t id = connection->id;
        LoopbackSocket replacementClient;
        LoopbackSocket replacement;
        switch (c.stale) {
        case Stale::CutAlready:
            ASSERT_TRUE(own.cut(id));
            break;
        case Stale::Listener:
            id = std::find_if(sockets.begin(), sockets.end(), [](const OwnSocket& s) {
                     return s.listening;
                 })->id;
            break;
        case Stale::NeverListed:
            id = std::max(sockets[0].id, sockets[1].id) + 1000;
            break;
        case Stale::ClosedAndReplaced:
            accepted.close();
            replacementClient = LoopbackSocket::connectTo("127.0.0.1", listener.port());
            replacement = listener.accept();
            ASSERT_TRUE(replacement.valid());
            break;
        }
        EXPECT_FALSE(own.cut(id));
        if (c.stale != Stale::CutAlready) {
            const LoopbackSocket& untouched =
                c.stale == Stale::ClosedAndReplaced ? replacementClient : client;
            EXPECT_FALSE(untouched.endsWithin(300ms));
        }
        // The listener still accepts.
        const LoopbackSocket later = LoopbackSocket::connectTo("127.0.0.1", listener.port());
        EXPECT_TRUE(listener.accept().valid());
    }
}

} // namespace
} // namespace kqvdr::remote
