#pragma once
// The message loop of the user-interface thread over the Win32 queue, and the two interfaces a window uses to
// take part in it.

#include <windows.h>

#include "app/message_pump.h"

namespace sw::app {

using CMessageFilter = BasicMessageFilter<MSG>;
using CIdleHandler = BasicIdleHandler;

class CMessageLoop : public BasicMessageLoop<MSG> {
public:
    CMessageLoop();
};

}  // namespace sw::app
