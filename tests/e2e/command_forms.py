"""The forms of every command the program sends to a radio of the Yaesu FT
family, in any model's forms (radio/yaesu/: the FT-991A's, the eight
digits of the older models, the FT-950's "PR" without its 0, the FTDX101's
"SH00", the FT-891's "SH01", the FT-710's "AC003").

A command at the radio that is none of these is a malformed command: a cut
or doubled frame, a number out of the program's ranges, or bytes the program
never writes.
"""

FIXED_COMMANDS = {
    "FA;", "SM0;", "RM6;", "MD0;", "MD01;", "MD02;", "MD03;", "MD04;", "MD05;", "MD0B;", "TX0;",
    "TX1;", "AC001;", "AC002;", "AC003;", "BC00;", "BC01;", "PR00;", "PR01;", "PR0;", "PR1;",
    "PA00;", "PA01;", "RA00;", "RA01;", "NB00;", "NB01;", "NR00;", "NR01;", "PS0;", "PS1;",
    "Power on;",
    "ID;",  # the radio's identity, and the station check's one question
}

# head, count of digits, lowest and highest value the program ever sends.
NUMBERED_COMMANDS = [
    ("FA", 9, 0, 999_999_999),
    ("FA", 8, 0, 99_999_999),
    ("PC", 3, 5, 200),
    ("AG0", 3, 0, 250),
    ("RG0", 3, 0, 250),
    ("SH0", 2, 8, 31),
    ("SH00", 2, 9, 23),
    ("SH01", 2, 9, 21),
]


def is_program_command(command):
    if command in FIXED_COMMANDS:
        return True
    for head, digits, lowest, highest in NUMBERED_COMMANDS:
        number = command[len(head):-1]
        if (command.startswith(head) and command.endswith(";")
                and len(number) == digits and number.isdigit()
                and lowest <= int(number) <= highest):
            return True
    return False


def malformed_commands(commands):
    """The commands in the list that are not of the program's forms."""
    return [command for command in commands if not is_program_command(command)]
