# A switch over modem result codes (0 OK, 1 CONNECT, 2 RING, 3 NO CARRIER, 4 ERROR,
# 6 NO DIALTONE, 7 BUSY, 8 NO ANSWER), counted over a long pseudo-random stream of codes.
ok = connect = ring = no_carrier = error = other = 0
seed = 12345
for i in range(6000000):
    seed = (seed * 1103 + 12345) % 65536
    code = seed % 9
    match code:
        case 0:
            ok += 1
        case 1:
            connect += 1
        case 2:
            ring += 1
        case 3:
            no_carrier += 1
        case 4:
            error += 1
        case 6 | 7 | 8:
            other += 1
print(ok)
print(connect)
print(ring)
print(no_carrier)
print(error)
print(other)
