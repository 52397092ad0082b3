#pragma once
// Every scripted platform fake, for tests that wire a whole platform::Services.
#include "support/FakeClock.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeFileSystem.h"
#include "support/FakeFontDialogs.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakePrinters.h"
#include "support/RecordingPrintJob.h"
