# Integer arithmetic in a while loop.
def main():
    s = 0
    i = 0
    while i < 10000000:
        s = s + i % 7 * 3 - 2
        i = i + 1
    print(s)

main()
