/* VOPUSB: the printer maker's USB devices by a small device id. It finds the devices of the
 * maker's driver, opens a device and its pipes as files, and turns class and vendor requests,
 * descriptor requests, pipe and device resets and a health check into the driver's device I/O
 * controls. Bulk data does not pass here: the caller reads and writes the pipe handles that
 * VopUsb_OpenPipe gives with the ordinary file calls, and closes them itself.
 *
 * C interface, safe to call from several threads. Device ids are 0 to 127, -1 for none;
 * wValue, wIndex and wLength use their low 16 bits. No failure texts: results only. */
#ifndef VOPUSB_H
#define VOPUSB_H

#include <stdint.h>

#if defined(_WIN32)
#define VOPUSB_CALL __stdcall
#if defined(VOPUSB_BUILDING)
#define VOPUSB_API __declspec(dllexport)
#else
#define VOPUSB_API __declspec(dllimport)
#endif
#else
#define VOPUSB_CALL
#define VOPUSB_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A pipe handle: a file handle of the platform, -1 for none. */
typedef intptr_t VopUsbPipe;

/* Results of VopUsb_Check. */
#define VOPUSB_CHECK_OK 0
#define VOPUSB_CHECK_INVALID_ID 1
#define VOPUSB_CHECK_FAILED 2

/* A new handle on the first device that opens: its id, or -1. Every call opens anew. */
VOPUSB_API int32_t VOPUSB_CALL VopUsb_Open(void);
VOPUSB_API void VOPUSB_CALL VopUsb_Close(int32_t id);
/* Pipe pipeNumber of interface interfaceNumber (low bytes used), or -1. */
VOPUSB_API VopUsbPipe VOPUSB_CALL VopUsb_OpenPipe(int32_t id, uint32_t interfaceNumber,
                                                  uint32_t pipeNumber);
/* direction non-zero: device to host into data; else host to device from data. recipient:
 * 0 device, 1 interface, 2 endpoint, 3 other. Non-zero on success. */
VOPUSB_API int32_t VOPUSB_CALL VopUsb_ClassRequest(int32_t id, uint32_t direction,
                                                   uint32_t recipient, uint32_t bRequest,
                                                   uint32_t wValue, uint32_t wIndex,
                                                   uint32_t wLength, void* data);
VOPUSB_API int32_t VOPUSB_CALL VopUsb_VendorRequest(int32_t id, uint32_t direction,
                                                    uint32_t recipient, uint32_t bRequest,
                                                    uint32_t wValue, uint32_t wIndex,
                                                    uint32_t wLength, void* data);
VOPUSB_API int32_t VOPUSB_CALL VopUsb_Check(int32_t id);
VOPUSB_API int32_t VOPUSB_CALL VopUsb_ResetPipe(VopUsbPipe pipe);
VOPUSB_API int32_t VOPUSB_CALL VopUsb_ResetDevice(int32_t id);
/* buffer: 18 bytes. 1 on success. */
VOPUSB_API int32_t VOPUSB_CALL VopUsb_GetDeviceDescriptor(int32_t id, void* buffer);
VOPUSB_API int32_t VOPUSB_CALL VopUsb_GetConfigurationDescriptor(int32_t id, void* buffer,
                                                                 uint32_t size);

/* The entry points as the port library looks them up by name. */
typedef int32_t(VOPUSB_CALL* VopUsbOpenFn)(void);
typedef void(VOPUSB_CALL* VopUsbCloseFn)(int32_t id);
typedef VopUsbPipe(VOPUSB_CALL* VopUsbOpenPipeFn)(int32_t id, uint32_t interfaceNumber,
                                                  uint32_t pipeNumber);
typedef int32_t(VOPUSB_CALL* VopUsbResetPipeFn)(VopUsbPipe pipe);
typedef int32_t(VOPUSB_CALL* VopUsbRequestFn)(int32_t id, uint32_t direction, uint32_t recipient,
                                              uint32_t bRequest, uint32_t wValue, uint32_t wIndex,
                                              uint32_t wLength, void* data);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* VOPUSB_H */
