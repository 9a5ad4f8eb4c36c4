// Every service the program takes from the machine: the window with its text,
// events and timer; the serial port; sound, and the system's speech; the date
// and time. The desktop
// implementation sits on SDL2 and POSIX; the scripted double serves the tests.
// Files are plain files in the working directory (platform/text_file.h).
#pragma once

#include <functional>
#include <string>
#include <string_view>

// Event codes delivered to the handler (Windows message numbers, which the
// key map compares against).
namespace event {
constexpr int keyDown = 256;
constexpr int keyUp = 257;
constexpr int timerTick = 275;
constexpr int closeRequest = 32770;
}  // namespace event

using EventHandler = std::function<void(int code, int param)>;

// How an utterance of the system's speech stands to those said before it.
enum class Utterance {
  answer,   // said after those handed over before it
  help,     // long: the next utterance stops it, as the next word stops the help recording
  reading,  // a reading said again and again (the SWR while tuning): one that comes while
            // another is said waits, and a newer one takes its place
};

// Why a serial port is not open.
enum class SerialFault {
  none,         // it is open
  closed,       // never opened, or closed by the program
  gone,         // it was open, and its device went away (unplugged, hung up)
  noDevice,     // the last open found no such device
  denied,       // the last open was refused permission
  busy,         // another program holds the device
  lineRefused,  // the device refused the line settings (the speed)
  // A radio across the network (a COMn file naming an address, or a link
  // opened to an address):
  noServer,      // nothing took the connection at the address
  serverClosed,  // the server took it, then closed it before a byte was read
  notAnAddress,  // the entry names no address in digits (a host name, say)
};

class Platform {
 public:
  virtual ~Platform() = default;

  // The one window. Every drawing operation on a window that is not open
  // does nothing.
  virtual bool openWindow(int left, int top, int width, int height, const std::string& title,
                          EventHandler handler) = 0;
  virtual void setTextPosition(int x, int y) = 0;
  // Draws one line at the current position, opaque, and moves the position
  // to its right end; a CR LF at the end is neither drawn nor moves it.
  virtual void printText(std::string_view text) = 0;
  virtual void setFont(const std::string& face, int points, int weight) = 0;
  // Ticks never pile up: while one is waiting, no second one is added.
  virtual void startTimer(int intervalMs, int id) = 0;
  virtual void stopTimer(int id) = 0;
  // Sleeps until an event is pending, delivers every pending one, returns.
  virtual void waitEvents() = 0;
  virtual void closeWindow() = 0;
  // The text printed at this place of the window, with what is printed
  // right after it, is carried in the window's title too, after the texts
  // of the places named before it; the title the window opened with
  // follows them. A screen reader reads the title on request, and a braille
  // display shows it. The title changes only when one of those texts does.
  virtual void showInTitle(int x, int y) = 0;

  // Serial ports by number 1..256. Every operation on a number out of range,
  // not open, or whose device has gone returns 0 and does nothing.
  virtual int openSerial(int port, int baud) = 0;
  // Multiplier -1: a read returns at once with what has arrived.
  virtual int setSerialReadMode(int port, int multiplier) = 0;
  // Parity code 0 is none; stop-bit code 1 is one stop bit, any other two.
  virtual int setSerialFormat(int port, int dataBits, int parity, int stopBits) = 0;
  virtual int serialBytesWaiting(int port) = 0;
  // Stores at most maximum bytes at the start of buffer, adds no end mark.
  virtual int readSerial(int port, char* buffer, int maximum) = 0;
  virtual int writeSerial(int port, const char* text, int length) = 0;
  virtual int closeSerial(int port) = 0;
  // Why port n is not open; none while it is. Answered from what the last
  // operation on the port found, without touching the device.
  virtual SerialFault serialFault(int port) = 0;
  // Opens port n as a TCP connection to a network address in digits
  // ("127.0.0.1:4532", "[::1]:4532") instead of a serial device, without
  // waiting for it: while the connection is on its way the port takes no
  // bytes and its fault is none; one that fails closes the port with the
  // reason (noServer, notAnAddress). The other serial operations then work
  // on the connection; its line is set at the far end. 1 unless it failed
  // at once.
  virtual int openNetworkLink(int port, const std::string& address) = 0;

  // Plays a sound file; with wait, to its end, unless the end of the
  // program is asked for (a termination signal, the close request): that
  // stops it at once, and every word played with wait until the end is
  // delivered returns at once. A name without extension gets ".wav". A
  // missing file plays nothing and returns at once.
  virtual void playSound(const std::string& name, bool wait) = 0;
  // A sound that serves as a wait: takes as long as the file lasts, played
  // to its end, or, with no sound device to play it on, in silence. A
  // missing file takes no time.
  virtual void pauseForSound(const std::string& name) = 0;
  // Plays a sound to its end, as playSound with wait, unless a key is
  // pressed (or the end asked for) first: then the sound stops within one
  // buffer of the device, the key is left to be delivered, and the result
  // is false. A repeat of a held key does not count.
  virtual bool playSoundUntilKey(const std::string& name) = 0;
  // Every sound played from now on, but a pause, is played this many times
  // as fast (0.5 to 3), its pitch kept.
  virtual void setSpeechRate(double rate) = 0;
  // Takes as long as the sound file lasts, in silence; a missing file takes
  // no time.
  virtual void pauseSilently(const std::string& name) = 0;

  // The system's speech, the operator's own voice, instead of the sound
  // files: on Linux speech-dispatcher, on Windows the screen reader, or the
  // system's voice when none runs. Returns why it cannot be had, or nothing
  // when it is in use from now on.
  virtual std::string startSystemSpeech() = 0;
  // Hands one utterance to the system's speech; returns at once.
  virtual void speakText(const std::string& text, Utterance kind) = 0;
  // What the system's speech is saying stops, and what waits is dropped.
  virtual void cutSpeech() = 0;

  // Holds the working folder until the process ends, so that a second
  // program started in it finds it in use (platform/folder_lock.h). False
  // only when another program holds it.
  virtual bool holdWorkingFolder() = 0;

  // The local date as "dd-MM-yyyy" and time as "hh:mm:ss".
  virtual std::string dateText() = 0;
  virtual std::string timeText() = 0;
};
