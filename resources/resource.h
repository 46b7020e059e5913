// Resource ids shared by the resource script and the Win32 layer.
#pragma once

#define IDI_SORVELA 1
#define IDR_SIDE_JPEG 101
#define IDR_BANNER_JPEG 102
#define IDR_PASS_GIF 103
#define IDR_FAIL_GIF 104
// Pictures are stored as raw data of this resource type.
#define RT_PICTURE_DATA 256
