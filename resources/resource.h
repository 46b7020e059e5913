// Resource ids shared by the resource script and the Win32 layer.
#pragma once

#define IDI_SORVELA 1
