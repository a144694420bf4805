s = ""
for i in range(100000):
    s += "ab"
print(s[199999])
