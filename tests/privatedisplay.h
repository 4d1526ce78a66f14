// A test suite with an X display of its own: one private Xvfb, started before the suite's
// first test and stopped after its last, so its windows never meet another suite's.
#pragma once

#include "xvfbserver.h"
#include <gtest/gtest.h>

template <typename Base>
class WithPrivateDisplay : public Base
{
protected:
	static void SetUpTestSuite () { server = new kt3host::XvfbServer; }
	static void TearDownTestSuite ()
	{
		delete server;
		server = nullptr;
	}
	void SetUp () override
	{
		ASSERT_TRUE (server->running ()) << server->error ();
		Base::SetUp ();
	}

	static kt3host::XvfbServer* server;
};

template <typename Base>
kt3host::XvfbServer* WithPrivateDisplay<Base>::server = nullptr;
