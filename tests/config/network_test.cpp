#include "config/network.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "config/config_error.h"
#include "config/main_table.h"
#include "config/recording_ui.h"
#include "support/loopback_http_server.h"
#include "test_env.h"

namespace dorvan {
namespace {

using test::EnvVar;
using test::ScratchDir;
using test::WriteText;

// The loopback HTTP server of http_test_server.py, started once for the whole suite.
using LoopbackServer = test::LoopbackHttpServer;

// A loopback port with nobody listening.
int DeadPort() {
    return 9;  // discard: closed on the test machines, connection refused at once
}

class NetworkTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        server_ = new LoopbackServer(DORVAN_HTTP_TEST_SERVER);
    }  // NOLINT: suite lifetime
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        ASSERT_GT(server_->Port(), 0) << "loopback server did not start";
        MainTable().InternetOK = false;
    }

    static LoopbackServer* server_;
    ScratchDir dir_;
    EnvVar exe_{"DORVAN_EXE_DIR", dir_.Str()};
    EnvVar noProxy_{"http_proxy", "http://127.0.0.1:9"};  // must be ignored
    RecordingUi ui_;
    ScopedUiPort scope_{ui_};
};

LoopbackServer* NetworkTest::server_ = nullptr;

TEST_F(NetworkTest, ExternalIPFromTheEchoPage) {
    EnvVar web("DORVAN_WEB_SERVER", server_->Url() + "/");
    EXPECT_EQ(GetExternalIP(), "203.0.113.7");
    EXPECT_TRUE(MainTable().InternetOK);
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(NetworkTest, ExternalIPFailures) {
    struct Case {
        const char* name;
        std::string base;
    };
    const Case cases[] = {
        {"nobody listening", "http://127.0.0.1:" + std::to_string(DeadPort())},
        {"page missing (404)", server_->Url() + "/elsewhere"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MainTable().InternetOK = true;
        EnvVar web("DORVAN_WEB_SERVER", c.base);
        EXPECT_EQ(GetExternalIP(), "");
        EXPECT_FALSE(MainTable().InternetOK);
    }
}

TEST_F(NetworkTest, ExternalIPBodyRule) {
    struct Case {
        const char* body;
        const char* expected;
    };
    static constexpr Case kCases[] = {
        {"1.2.3.4\n", "1.2.3.4"},
        {"1.2.3.4", "1.2.3."},  // no trailing character: the last real one is lost
        {" 1.2.3.4\r\n", "1.2.3.4"},
        {"", ""},
        {"\n", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(ExternalIPFromBody(c.body), c.expected);
    }
}

TEST_F(NetworkTest, ClientFollowsRedirects) {
    HttpClient client;
    const HttpResponse r = client.Get(server_->Url() + "/redirect");
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, "203.0.113.7\n");
    client.followRedirects = false;
    EXPECT_EQ(client.Get(server_->Url() + "/redirect").status, 302);
    EXPECT_THROW(client.Get("http://127.0.0.1:" + std::to_string(DeadPort()) + "/"), NetworkError);
}

TEST_F(NetworkTest, ProxyProbe) {
    const std::string port = std::to_string(server_->Port());
    struct Case {
        const char* name;
        std::string url;
        std::string server;
        std::string port;
        const char* user;
        const char* password;
        bool ok;
    };
    const Case cases[] = {
        {"through the proxy", "http://probe.invalid/page", "127.0.0.1", port, "proxyuser",
         "proxypass", true},
        {"wrong password", "http://probe.invalid/page", "127.0.0.1", port, "proxyuser", "nope",
         false},
        {"proxy down", "http://probe.invalid/page", "127.0.0.1", std::to_string(DeadPort()),
         "proxyuser", "proxypass", false},
        {"no proxy, page there", server_->Url() + "/ok", "", "", "", "", true},
        {"no proxy, page missing", server_->Url() + "/missing", "", "", "", "", false},
        {"no proxy, redirect followed", server_->Url() + "/redirect", "", "x", "", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TestProxyConnection(c.url, c.server, c.port, c.user, c.password), c.ok);
    }
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_GT(ui_.processMessagesCalls, 0);  // the user interface was kept alive
}

TEST_F(NetworkTest, SetupProxyFromProxyCfg) {
    const std::string port = std::to_string(server_->Port());
    EnvVar probe("DORVAN_PROXY_PROBE_URL", "http://probe.invalid/");
    struct Case {
        const char* name;
        std::string cfg;  // empty: no file
        bool proxied;
        bool message;
    };
    const Case cases[] = {
        {"no file", "", false, false},
        {"empty server", "[Config]\nServer=\nPort=" + port + "\n", false, false},
        {"working proxy",
         "[config]\nserver=127.0.0.1\nPort=" + port + "\nUsername=proxyuser\nPassword=proxypass\n",
         true, false},
        {"refused credentials",
         "[Config]\nServer=127.0.0.1\nPort=" + port + "\nUsername=proxyuser\nPassword=bad\n", false,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui_.messages.clear();
        std::filesystem::remove(dir_.Path() / "proxy.cfg");
        if (!c.cfg.empty()) {
            WriteText(dir_.Path() / "proxy.cfg", c.cfg);
        }
        HttpClient client;
        SetupProxy(client);
        EXPECT_EQ(!client.proxy.server.empty(), c.proxied);
        if (c.proxied) {
            EXPECT_EQ(client.proxy.server, "127.0.0.1");
            EXPECT_EQ(client.proxy.port, server_->Port());
            EXPECT_EQ(client.proxy.user, "proxyuser");
            EXPECT_EQ(client.proxy.password, "proxypass");
            EXPECT_TRUE(client.proxy.basicAuth);
        }
        ASSERT_EQ(ui_.messages.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(ui_.messages[0].text, "Hibás beállítás a proxy.cfg fájlban!");
        }
    }
}

TEST_F(NetworkTest, ExternalIPThroughTheConfiguredProxy) {
    EnvVar probe("DORVAN_PROXY_PROBE_URL", "http://probe.invalid/");
    EnvVar web("DORVAN_WEB_SERVER", "http://echo.invalid");
    WriteText(dir_.Path() / "proxy.cfg",
              "[Config]\nServer=127.0.0.1\nPort=" + std::to_string(server_->Port()) +
                  "\nUsername=proxyuser\nPassword=proxypass\n");
    // The proxy answers "via-proxy" itself; the echo rule drops the last character.
    EXPECT_EQ(GetExternalIP(), "via-prox");
    EXPECT_TRUE(MainTable().InternetOK);
}

TEST(LocalHost, NameAndAddress) {
    std::string host;
    std::string address = "stale";
    std::string error;
    ASSERT_TRUE(GetLocalHostAndIP(host, address, error)) << error;
    EXPECT_FALSE(host.empty());
    if (!address.empty()) {
        int parts = 1;
        for (char c : address) {
            parts += c == '.';
        }
        EXPECT_EQ(parts, 4) << address;
    }
}

}  // namespace
}  // namespace dorvan
