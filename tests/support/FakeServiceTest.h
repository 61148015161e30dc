#pragma once

#include "MyCode/CookieStore.h"
#include "MyCode/CurlGlobal.h"
#include "support/FakeService.h"
#include "support/ScopedProxy.h"

#include <gtest/gtest.h>

#include <memory>

// libcurl's global set-up for the whole test program, as each main does it.
class CurlEnvironment : public ::testing::Environment {
public:
    void SetUp() override { m_curl = std::make_unique<CCurlGlobal>(); }
    void TearDown() override { m_curl.reset(); }

private:
    std::unique_ptr<CCurlGlobal> m_curl;
};
inline ::testing::Environment* const kCurlEnvironment = ::testing::AddGlobalTestEnvironment(new CurlEnvironment);

// A test with the fake service running, http_proxy pointing at it and an empty cookie store.
class FakeServiceTest : public ::testing::Test {
protected:
    FakeServiceTest() { CCookieStore::Instance().Clear(); }
    ~FakeServiceTest() override { CCookieStore::Instance().Clear(); }

    FakeService service;
    ScopedProxy proxy{service};
};
