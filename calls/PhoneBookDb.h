#pragma once

// The phonebook database access lives in platform/, where the link and every
// window reach it; this name stays for the tests that still include it.
#include "platform/PhoneBookDb.h"
