// The system calls the program is written against, on one include.
#pragma once

#include "win32_comm.h"
#include "win32_file.h"
#include "win32_system.h"
#include "win32_types.h"
#include "win32_user.h"
