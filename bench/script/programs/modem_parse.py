# A modem's answers at scale: 100 000 response lines built as a modem would send them
# ("+CSQ: 17,3", "+CREG: 0,1", "OK"), then parsed back with find, slices and int.
rounds = 8
total = 0
lines = 0
for r in range(rounds):
    for i in range(100000):
        k = i % 3
        if k == 0:
            line = "+CSQ: " + str(i % 32) + "," + str(i % 8)
        elif k == 1:
            line = "+CREG: " + str(i % 2) + "," + str(i % 6)
        else:
            line = "OK"
        colon = line.find(":")
        if colon >= 0:
            comma = line.find(",")
            total = total + int(line[colon + 2:comma]) * 10 + int(line[comma + 1:])
        lines += 1
print(total)
print(lines)
