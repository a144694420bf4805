# s += "ab" on a module-level name copies the whole text each time in CPython (quadratic), so the
# twin builds the text the way Python programs do, in a list joined once.
parts = []
for i in range(2000000):
    parts.append("ab")
s = "".join(parts)
print(s[3999999])
print(len(s))
