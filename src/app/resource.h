#pragma once

#define IDI_VALMORA 1
