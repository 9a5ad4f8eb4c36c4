"""What every end-to-end test case shares: one private X server for the
module, and stations that clean up after themselves and check, at the end of
each test, that every command the radio received was well-formed."""

import unittest

from station import Station, XServer, contains_in_order, wait_until

_x_server = None


def start_x_server():
    global _x_server
    _x_server = XServer()


def stop_x_server():
    _x_server.stop()


class StationTest(unittest.TestCase):
    station_class = Station  # how the program is run: the Linux build here

    def station(self, sim_options=(), memory_lines=None, connect=True, **layout):
        station = self.new_station(sim_options, memory_lines, **layout)
        station.start()
        if connect:
            station.wait_connected()
        return station

    def new_station(self, sim_options=(), memory_lines=None, x_server=None, **layout):
        """A station not yet started, on the module's X server unless given
        one of its own."""
        station = self.station_class(x_server or _x_server, sim_options, memory_lines, **layout)
        self.addCleanup(station.stop)
        self.addCleanup(lambda: self.assertEqual(station.malformed_commands(), [],
                                                 "malformed commands at the radio"))
        return station

    def mark(self, station):
        return len(station.radio_commands())

    def assertSent(self, station, since, expected, timeout=8):
        try:
            wait_until(lambda: contains_in_order(station.key_commands(since), expected),
                       timeout, "commands")
        except AssertionError:
            self.fail("wanted %s in %s" % (expected, station.key_commands(since)))
