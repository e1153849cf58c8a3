package com.kestro.runtime.testapps;

/** Classes whose main is missing or not the one a launcher can call. */
public final class NotMains {
    private NotMains() {
    }

    public static class NoMain {
        public static void run(String[] args) {
        }
    }

    public static class InstanceMain {
        public void main(String[] args) {
        }
    }

    public static class IntMain {
        public static int main(String[] args) {
            return 0;
        }
    }

    public static class PrivateMain {
        @SuppressWarnings("unused")
        private static void main(String[] args) {
        }
    }
}
