"""Quick typing with overlapping keys, the S-meter label shortening, and the
window on a small screen."""

import unittest

import station_test
from station import Station, XServer, wait_until
from station_test import StationTest


def setUpModule():
    station_test.start_x_server()


def tearDownModule():
    station_test.stop_x_server()


def ink_columns(pixels, width):
    """The columns of a grey image that hold any dark pixel."""
    return sorted({i % width for i, value in enumerate(pixels) if value < 128})


def last_glyph_start(columns):
    """The first column of the rightmost run of inked columns."""
    start = columns[-1]
    while start - 1 in columns:
        start -= 1
    return start


class RollingKeys(StationTest):
    def test_each_key_goes_down_before_the_one_before_comes_up(self):
        station = self.station()
        since = self.mark(station)
        station.focus()
        station.xdotool("keydown", "e", "keydown", "1", "keyup", "e", "keydown", "4", "keyup", "1",
                        "keydown", "period", "keyup", "4", "keydown", "2", "keyup", "period",
                        "keydown", "Return", "keyup", "2", "keyup", "Return")
        self.assertSent(station, since, ["FA014200000;"])
        station.wait_for_words(["ef", "1", "4", "point", "2", "preamp", "on", "ok"])

        station.xdotool("keydown", "a", "keydown", "s", "keyup", "a", "keyup", "s")
        words = station.wait_for_words(["af", "s"])
        self.assertEqual(words.count("af"), 1)


class Display(StationTest):
    # The S-meter label's part of the window: from x 750 to the right edge.
    LEFT, TOP, WIDTH, HEIGHT = 750, 45, 200, 80

    def meter_columns(self, station):
        pixels = station.area(self.LEFT, self.TOP, self.WIDTH, self.HEIGHT)
        return ink_columns(pixels, self.WIDTH)

    def test_a_shorter_s_meter_label_leaves_nothing_of_the_plus(self):
        # Held where the knob sets it: a wandering S-meter is read at 255
        # only by chance.
        station = self.station(sim_options=["--steady"])
        station.knob("smeter 255")
        wait_until(lambda: "RX=SM0255;" in station.debug_lines(), 5, "S9+ at the radio")
        plus = wait_until(lambda: (lambda c: c and c[-1] - c[0] > 100 and c)(
            self.meter_columns(station)), 5, "S9+ on screen")
        plus_starts = last_glyph_start(plus)

        station.knob("smeter 0")
        wait_until(lambda: any(l.startswith("RX=SM00") for l in station.debug_lines()), 5,
                   "a reading below S9")
        wait_until(lambda: self.meter_columns(station)[-1] < plus_starts, 5,
                   "the label without the plus: ink at %d and beyond, where the + began"
                   % plus_starts)


class SmallScreen(unittest.TestCase):
    def test_the_window_stays_inside_a_1024_by_768_screen(self):
        x_server = XServer(screen="1024x768x24")
        self.addCleanup(x_server.stop)
        station = Station(x_server)
        self.addCleanup(station.stop)
        station.start()
        where = station.geometry()
        self.assertEqual((where["WIDTH"], where["HEIGHT"]), (950, 500))
        self.assertLessEqual(where["X"] + where["WIDTH"], 1024)
        self.assertLessEqual(where["Y"] + where["HEIGHT"], 768)
        self.assertEqual(where["Y"], 100)  # it fits in height where it is


if __name__ == "__main__":
    unittest.main()
