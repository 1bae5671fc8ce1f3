#!/usr/bin/env python3
"""A DX cluster for the screenshots: listens on a loopback port, asks for a
login, then sends a handful of spots and a WWV line and keeps the link open
until it is stopped."""
import socket
import sys
import time

SPOTS = [
    "DX de W3LPL:     14074.0  JA1XYZ       FT8 -12 dB                     1801Z PM95",
    "DX de DL1ABC:     7025.1  K1AB         CW 22 dB 28 WPM CQ             1802Z FN42",
    "DX de EA8XX-#:   28074.0  ZS6ZZ        FT8                            1803Z KG44",
    "DX de PY2XX:     21074.0  LU1AA        FT8                            1804Z GF05",
    "DX de VK2XX:     10136.0  ZL2AB        FT8                            1805Z RE78",
    "DX de OH2BH:     18100.0  UA0AAA       FT8                            1806Z NO55",
    "DX de G4ABC:     50313.0  EA7XX        FT8 Es                         1807Z IM76",
    "DX de N2XX:       3573.0  VE7AB        FT8                            1808Z CN89",
    "DX de DK0WCY:    24915.0  VU2ABC       FT8                            1809Z MK82",
    "DX de K3LR:      14025.0  5Z4AB        CW                             1810Z KI88",
]


def main():
    port = int(sys.argv[1])
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", port))
    server.listen(1)
    peer, _ = server.accept()
    peer.sendall(b"Welcome to a test cluster\r\nlogin: ")
    peer.recv(100)
    peer.sendall(b"Hello G4ABC\r\nWWV de W0MU <18>:   SFI=152, A=8, K=2, No Storms -> No Storms\r\n")
    for line in SPOTS:
        time.sleep(0.2)
        peer.sendall(line.encode() + b"\r\n")
    while True:
        if not peer.recv(100):
            return


if __name__ == "__main__":
    main()
