/* VopP2: one open, write, read and close interface over a capture file, the parallel port,
 * a serial port and USB, configured through one parameter block.
 *
 * C interface. Results are non-zero for success and 0 for failure; the text of the last
 * failure is read with VopP2GetMessage. The library keeps one static record and expects one
 * caller at a time. */
#ifndef VOPP2_H
#define VOPP2_H

#include <stdint.h>

#if defined(_WIN32)
#define VOPP2_CALL __stdcall
#if defined(VOPP2_BUILDING)
#define VOPP2_API __declspec(dllexport)
#else
#define VOPP2_API __declspec(dllimport)
#endif
#else
#define VOPP2_CALL
#define VOPP2_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Port codes: bit flags, served in this order, the last transport's result returned. */
#define PORT_FILE 1
#define PORT_LPT 2
#define PORT_COM 4
#define PORT_USB 8

/* Operating-system kinds. */
#define OS_UNKNOWN 0
#define OS_WIN95 1
#define OS_WIN98 2
#define OS_WINME 3
#define OS_WIN2K 4
#define OS_WINXP 5

/* The interface version VopP2GetVersion answers. */
#define VOPP2_INTERFACE_VERSION 6

#pragma pack(push, 1)
typedef struct VopP2Param {
  char szOutputFile[260];                   /* 0x000 */
  uint32_t dwLptBase;                       /* 0x104 */
  uint32_t dwLptNumber;                     /* 0x108 */
  uint32_t dwLptMode;                       /* 0x10C */
  uint32_t dwTimeOut;                       /* 0x110 */
  uint32_t dwPollsBeforeClock;              /* 0x114 */
  uint32_t dwPollsBeforeCheck;              /* 0x118 */
  uint32_t dwRestoreDelay;                  /* 0x11C */
  uint32_t dwECPNegotiationDelay;           /* 0x120 */
  uint32_t dwECPTerminationDelay;           /* 0x124 */
  uint32_t dwLptReceptionDelay;             /* 0x128 */
  uint32_t dwLptReceptionTerminationTiming; /* 0x12C */
  uint32_t dwWriteStartTick;                /* 0x130 */
  uint32_t dwWriteEndTick;                  /* 0x134 */
  uint32_t dwFifoSize;                      /* 0x138 */
  uint32_t dwReserved13C;                   /* 0x13C */
  uint32_t dwComNumber;                     /* 0x140 */
  uint32_t dwComInQueue;                    /* 0x144 */
  uint32_t dwComOutQueue;                   /* 0x148 */
  uint32_t dwComBaudRate;                   /* 0x14C */
  uint8_t byComParity;                      /* 0x150 */
  uint8_t byComByteSize;                    /* 0x151 */
  uint8_t byComStopBits;                    /* 0x152 */
  uint8_t byReserved153;                    /* 0x153 */
  uint32_t fComBinary;                      /* 0x154 */
  uint32_t fComParity;                      /* 0x158 */
  uint32_t fComOutxCtsFlow;                 /* 0x15C */
  uint32_t fComOutxDsrFlow;                 /* 0x160 */
  uint32_t dwComDtrControl;                 /* 0x164 */
  uint32_t dwComRtsControl;                 /* 0x168 */
  uint32_t fComOutX;                        /* 0x16C */
  uint32_t fComInX;                         /* 0x170 */
  uint8_t byComXonChar;                     /* 0x174 */
  uint8_t byComXoffChar;                    /* 0x175 */
  uint16_t wComXonLim;                      /* 0x176 */
  uint16_t wComXoffLim;                     /* 0x178 */
  uint16_t wUsbVendorId;                    /* 0x17A */
  uint16_t wUsbProductId;                   /* 0x17C */
  uint16_t wReserved17E;                    /* 0x17E */
  uint32_t fForceVopUsb;                    /* 0x180 */
  uint32_t fForceUsb11;                     /* 0x184 */
  char szUsbDevicePath[260];                /* 0x188 */
} VopP2Param;                               /* 0x28C bytes */
#pragma pack(pop)

VOPP2_API int32_t VOPP2_CALL VopP2Open(int32_t port);
VOPP2_API int32_t VOPP2_CALL VopP2Close(int32_t port);
VOPP2_API int32_t VOPP2_CALL VopP2Write(int32_t port, const uint8_t* lpData, uint32_t dwDataLength,
                                        uint32_t* lpdwWritten);
VOPP2_API int32_t VOPP2_CALL VopP2Read(int32_t port, uint8_t* lpBuffer, uint32_t dwBufferLength,
                                       uint32_t* lpdwRead, uint32_t byRequest);
VOPP2_API const char* VOPP2_CALL VopP2GetMessage(void);
VOPP2_API VopP2Param* VOPP2_CALL VopP2GetParamPtr(void);
VOPP2_API int32_t VOPP2_CALL VopP2GetVersion(void);
VOPP2_API void VOPP2_CALL VopP2SetDebugLevel(int32_t level);
VOPP2_API int32_t VOPP2_CALL VopP2GetDebugLevel(void);
VOPP2_API int32_t VOPP2_CALL VopP2InitLPTPort(void);
VOPP2_API int32_t VOPP2_CALL VopP2ECPNegotiation(uint32_t byRequest, uint32_t byEcr1,
                                                 uint32_t byEcr2);
VOPP2_API int32_t VOPP2_CALL VopP2ECPTermination(void);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* VOPP2_H */
