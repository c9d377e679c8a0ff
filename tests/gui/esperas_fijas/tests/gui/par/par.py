import time
# time.sleep(1) in a comment
def esperar(c):
    while not c():
        time.sleep(0.1)
