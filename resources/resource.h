// Resource ids shared by the resource script and the Win32 layer.
#pragma once

#define IDI_SORVELA 1
#define IDR_SIDE_JPEG 101
#define IDR_BANNER_JPEG 102
#define IDR_PASS_GIF 103
#define IDR_FAIL_GIF 104
// Each picture drawn at twice its size, for higher resolutions, under its id
// plus this.
#define IDR_DOUBLE 10
#define IDR_SIDE_JPEG_2X 111
#define IDR_BANNER_JPEG_2X 112
#define IDR_PASS_GIF_2X 113
#define IDR_FAIL_GIF_2X 114
// Pictures are stored as raw data of this resource type.
#define RT_PICTURE_DATA 256
