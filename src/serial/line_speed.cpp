// The kernel's own termios2 record carries the speed as a number; it cannot share a translation
// unit with the C library's <termios.h>, whose struct termios has the same name.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdint>

namespace kelvo {

int SetLineSpeed(int fd, uint32_t speed);
int GetLineSpeed(int fd, uint32_t& speed);

namespace {

struct TSpeedCode {
  uint32_t Speed;
  unsigned Code;
};

constexpr TSpeedCode kClassic[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000}};

unsigned SpeedCode(uint32_t speed) {
  for (const auto& s : kClassic)
    if (s.Speed == speed) return s.Code;
  return BOTHER;
}

int Ioctl(int fd, unsigned long request, termios2* t) {
  for (;;) {
    if (ioctl(fd, request, t) == 0) return 0;
    if (errno != EINTR) return errno;
  }
}

}  // namespace

int SetLineSpeed(int fd, uint32_t speed) {
  termios2 t{};
  if (int e = Ioctl(fd, TCGETS2, &t)) return e;
  // The input speed follows the output speed (CIBAUD zero).
  t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  t.c_cflag |= SpeedCode(speed);
  t.c_ispeed = speed;
  t.c_ospeed = speed;
  return Ioctl(fd, TCSETS2, &t);
}

int GetLineSpeed(int fd, uint32_t& speed) {
  termios2 t{};
  if (int e = Ioctl(fd, TCGETS2, &t)) return e;
  speed = t.c_ospeed;
  return 0;
}

}  // namespace kelvo
